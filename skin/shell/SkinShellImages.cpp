#include "skin/shell/SkinShellImages.h"

#include <memory>

#include "platform/os/ShellNamespace.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/GraphicsObjects.h"

namespace {

constexpr TColor MaskColor = 0x00FF00FF;  // magenta: transparent
constexpr TColor Outline = 0x00404040;

void Box(TCanvas* C, TColor Fill, int L, int T, int R, int B)
{
  C->GetBrush()->SetColor(Fill);
  C->GetPen()->SetColor(Outline);
  C->Rectangle(L, T, R, B);
}

void Folder(TCanvas* C, TColor Fill, bool Open)
{
  C->GetBrush()->SetColor(Fill);
  C->GetPen()->SetColor(Outline);
  C->Polygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}});
  if (Open) {
    C->GetBrush()->SetColor(0x0080E0FF);
    C->Polygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}});
  }
}

void LinkArrow(TCanvas* C)
{
  Box(C, clWhite, 0, 9, 7, 16);
  C->GetPen()->SetColor(0x00000000);
  C->MoveTo(2, 13);
  C->LineTo(5, 10);
  C->MoveTo(3, 10);
  C->LineTo(5, 10);
  C->LineTo(5, 12);
}

void Drive(TCanvas* C, TColor Fill)
{
  Box(C, Fill, 1, 5, 15, 12);
  C->GetBrush()->SetColor(0x0000C000);
  C->FillRect(TRect{11, 9, 13, 10});
}

void DrawIcon(TCanvas* C, int Index)
{
  const TColor folder = 0x0040C0F0;
  switch (Index) {
    case siFolder: Folder(C, folder, false); break;
    case siFolderOpen: Folder(C, folder, true); break;
    case siFolderLocked:
      Folder(C, 0x00A0A0A0, false);
      C->GetPen()->SetColor(0x000000C0);
      C->MoveTo(5, 7);
      C->LineTo(11, 13);
      C->MoveTo(11, 7);
      C->LineTo(5, 13);
      break;
    case siFolderLink: Folder(C, folder, false); LinkArrow(C); break;
    case siFile:
    case siFileLink:
      C->GetBrush()->SetColor(clWhite);
      C->GetPen()->SetColor(Outline);
      C->Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
      C->MoveTo(10, 1);
      C->LineTo(10, 4);
      C->LineTo(13, 4);
      if (Index == siFileLink) LinkArrow(C);
      break;
    case siDesktop: Box(C, 0x00C08040, 1, 2, 15, 12); Box(C, 0x00808080, 5, 12, 11, 14); break;
    case siComputer:
      Box(C, 0x00E0E0E0, 1, 1, 15, 10);
      Box(C, 0x00C08040, 3, 3, 13, 8);
      Box(C, 0x00C0C0C0, 3, 11, 13, 15);
      break;
    case siHome:
      C->GetBrush()->SetColor(0x004080E0);
      C->GetPen()->SetColor(Outline);
      C->Polygon({{8, 1}, {15, 8}, {1, 8}});
      Box(C, 0x00E0F0F0, 3, 8, 13, 15);
      Box(C, 0x00305080, 7, 10, 10, 15);
      break;
    case siHardDisk: Drive(C, 0x00C0C0C0); break;
    case siOpticalDisc:
      C->GetBrush()->SetColor(0x00E0E0E0);
      C->GetPen()->SetColor(Outline);
      C->Ellipse(1, 1, 15, 15);
      C->GetBrush()->SetColor(MaskColor);
      C->Ellipse(6, 6, 10, 10);
      break;
    case siRemovable: Drive(C, 0x00F0D0A0); break;
    case siNetworkDrive:
      Drive(C, 0x00C0C0C0);
      C->GetPen()->SetColor(Outline);
      C->MoveTo(8, 12);
      C->LineTo(8, 15);
      C->MoveTo(3, 15);
      C->LineTo(13, 15);
      break;
    default: break;
  }
}

// Every icon drawn at 16 x 16 and scaled to Size (16 or 32).
TCustomImageList* MakeImages(int Size)
{
  auto* images = new TCustomImageList(nullptr, Size, Size);  // lives as long as the program
  for (int i = 0; i < siShellIconCount; ++i) {
    auto small = std::make_unique<TBitmap>(16, 16, pf32bit);
    TCanvas* c = small->GetCanvas();
    c->GetBrush()->SetColor(MaskColor);
    c->FillRect(TRect{0, 0, 16, 16});
    DrawIcon(c, i);
    if (Size == 16) {
      images->AddMasked(small.get(), MaskColor);
      continue;
    }
    auto large = std::make_unique<TBitmap>(Size, Size, pf32bit);
    large->GetCanvas()->StretchDraw(TRect{0, 0, Size, Size}, small.get());
    images->AddMasked(large.get(), MaskColor);
  }
  return images;
}

}  // namespace

TCustomImageList* ShellSmallImages()
{
  static TCustomImageList* list = MakeImages(16);
  return list;
}

TCustomImageList* ShellLargeImages()
{
  static TCustomImageList* list = MakeImages(32);
  return list;
}
