#include "platform/vcl/ImgList.h"

#include <algorithm>
#include <cstring>

#include "platform/vcl/Picture.h"
#include "platform/win/WinUser.h"

namespace {

constexpr const char* SInvalidImageListIndex = "Invalid ImageList Index";
constexpr DWORD ROP_DSPDxax = 0x00E20746;

bool MaskBit(TBitmap* Mask, int X, int Y) {
  auto* Row = static_cast<const std::uint8_t*>(Mask->ScanLine(Y));
  return (Row[X / 8] >> (7 - X % 8)) & 1;
}

void SetMaskBit(TBitmap* Mask, int X, int Y) {
  auto* Row = static_cast<std::uint8_t*>(Mask->ScanLine(Y));
  Row[X / 8] |= static_cast<std::uint8_t>(0x80 >> (X % 8));
}

// Keeps a DC's text and background colours across a drawing that changes them.
class TKeepColours {
public:
  explicit TKeepColours(HDC DC) : FDC(DC), FText(GetTextColor(DC)), FBk(GetBkColor(DC)) {}
  ~TKeepColours() {
    SetTextColor(FDC, FText);
    SetBkColor(FDC, FBk);
  }
  TKeepColours(const TKeepColours&) = delete;
  TKeepColours& operator=(const TKeepColours&) = delete;

private:
  HDC FDC;
  COLORREF FText;
  COLORREF FBk;
};

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), FWidth(std::max(AWidth, 1)), FHeight(std::max(AHeight, 1)) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* Link : FClients) Link->SetSender(nullptr);
  FClients.clear();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  if (Value->GetSender() && Value->GetSender() != this) Value->GetSender()->UnRegisterChanges(Value);
  Value->SetSender(this);
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  auto It = std::find(FClients.begin(), FClients.end(), Value);
  if (It == FClients.end()) return;
  FClients.erase(It);
  Value->SetSender(nullptr);
}

void TCustomImageList::SetWidth(int Value) {
  if (Value < 1 || Value == FWidth) return;
  FWidth = Value;
  FImages.clear();
  Change();
}

void TCustomImageList::SetHeight(int Value) {
  if (Value < 1 || Value == FHeight) return;
  FHeight = Value;
  FImages.clear();
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (FBkColor == Value) return;
  FBkColor = Value;
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (FBlendColor == Value) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (FDrawingStyle == Value) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (FImageType == Value) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (FMasked == Value) return;
  FMasked = Value;
  Change();
}

TCustomImageList::TImage TCustomImageList::MakeCell(TBitmap* Image, TBitmap* Mask, int Column) const {
  TImage Cell;
  Cell.Image = std::make_unique<TBitmap>(FWidth, FHeight, pf32bit);
  Cell.Mask = std::make_unique<TBitmap>(FWidth, FHeight, pf1bit);
  int SrcX = Column * FWidth;
  BitBlt(Cell.Image->GetCanvas()->GetHandle(), 0, 0, FWidth, FHeight, Image->GetCanvas()->GetHandle(), SrcX, 0,
         SRCCOPY);
  if (Mask && !Mask->Empty()) {
    TBitmap MonoMask;
    MonoMask.Assign(Mask);
    MonoMask.SetPixelFormat(pf1bit);
    for (int Y = 0; Y < FHeight && Y < MonoMask.GetHeight(); ++Y)
      for (int X = 0; X < FWidth && SrcX + X < MonoMask.GetWidth(); ++X)
        if (MaskBit(&MonoMask, SrcX + X, Y)) SetMaskBit(Cell.Mask.get(), X, Y);
  }
  // Transparent pixels are black in the image, so that OR-ing it over the masked area works.
  for (int Y = 0; Y < FHeight; ++Y) {
    auto* Row = static_cast<std::uint8_t*>(Cell.Image->ScanLine(Y));
    for (int X = 0; X < FWidth; ++X) {
      if (MaskBit(Cell.Mask.get(), X, Y)) std::memset(Row + X * 4, 0, 4);
      else Row[X * 4 + 3] = 0;
    }
  }
  return Cell;
}

std::vector<TCustomImageList::TImage> TCustomImageList::MakeCells(TBitmap* Image, TBitmap* Mask) const {
  std::vector<TImage> Cells;
  if (!Image || Image->Empty()) return Cells;
  int Columns = std::max(1, Image->GetWidth() / FWidth);
  for (int C = 0; C < Columns; ++C) Cells.push_back(MakeCell(Image, Mask, C));
  return Cells;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  std::vector<TImage> Cells = MakeCells(Image, Mask);
  if (Cells.empty()) return -1;
  int First = GetCount();
  for (TImage& Cell : Cells) FImages.push_back(std::move(Cell));
  Change();
  return First;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  TBitmap Mask;
  Mask.Assign(Image);
  Mask.Mask(MaskColor == clDefault ? Image->GetTransparentColor() : MaskColor);
  return Add(Image, &Mask);
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  return Add(Image->GetImage(), Image->GetMaskBitmap());
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > GetCount()) throw EInvalidOperation(SInvalidImageListIndex);
  std::vector<TImage> Cells = MakeCells(Image, Mask);
  FImages.insert(FImages.begin() + Index, std::make_move_iterator(Cells.begin()),
                 std::make_move_iterator(Cells.end()));
  Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  if (!Image || Image->Empty()) return;
  FImages[static_cast<size_t>(Index)] = MakeCell(Image, Mask, 0);
  Change();
}

void TCustomImageList::Delete(int Index) {
  if (Index == -1) {  // as the class library: -1 deletes every image
    Clear();
    return;
  }
  CheckIndex(Index);
  FImages.erase(FImages.begin() + Index);
  Change();
}

void TCustomImageList::Clear() {
  FImages.clear();
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  TImage Item = std::move(FImages[static_cast<size_t>(CurIndex)]);
  FImages.erase(FImages.begin() + CurIndex);
  FImages.insert(FImages.begin() + NewIndex, std::move(Item));
  Change();
}

void TCustomImageList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EInvalidOperation(SInvalidImageListIndex);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!Canvas || Index < 0 || Index >= GetCount()) return;
  static constexpr UINT Styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT Style = Styles[ADrawingStyle];
  if (AImageType == itMask) Style |= ILD_MASK;
  DoDraw(Index, Canvas, X, Y, Style, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  const TImage& Cell = FImages[static_cast<size_t>(Index)];
  HDC Dest = Canvas->GetHandle();
  HDC MaskDC = Cell.Mask->GetCanvas()->GetHandle();
  if (!Enabled) {
    // The disabled look: the image's non-white opaque pixels as a shape, in clBtnHighlight one
    // pixel down and right, then in clBtnShadow in place.
    // A monochrome device bitmap (text and background colours apply to it, unlike a DIB
    // section's colour table): 1 for white or transparent pixels, 0 for the shape.
    int RowBytes = (FWidth + 15) / 16 * 2;
    std::vector<std::uint8_t> Bits(static_cast<size_t>(RowBytes) * static_cast<size_t>(FHeight), 0);
    for (int Row = 0; Row < FHeight; ++Row) {
      auto* Pixels = static_cast<const std::uint8_t*>(Cell.Image->ScanLine(Row));
      for (int Col = 0; Col < FWidth; ++Col) {
        const std::uint8_t* P = Pixels + Col * 4;
        bool White = P[0] == 255 && P[1] == 255 && P[2] == 255;
        if (White || (FMasked && MaskBit(Cell.Mask.get(), Col, Row)))
          Bits[static_cast<size_t>(Row * RowBytes + Col / 8)] |= static_cast<std::uint8_t>(0x80 >> (Col % 8));
      }
    }
    HBITMAP Mono = CreateBitmap(FWidth, FHeight, 1, 1, Bits.data());
    HDC MonoDC = CreateCompatibleDC(nullptr);
    HGDIOBJ OldMono = SelectObject(MonoDC, Mono);
    TBrush* Brush = Canvas->GetBrush();
    TColor OldColor = Brush->GetColor();
    TBrushStyle OldStyle = Brush->GetStyle();
    for (auto [Offset, Colour] : {std::pair<int, TColor>{1, clBtnHighlight}, {0, clBtnShadow}}) {
      Brush->SetColor(Colour);
      Dest = Canvas->GetHandle();
      TKeepColours Keep(Dest);
      SetTextColor(Dest, RGB(255, 255, 255));
      ::SetBkColor(Dest, RGB(0, 0, 0));
      BitBlt(Dest, X + Offset, Y + Offset, FWidth, FHeight, MonoDC, 0, 0, ROP_DSPDxax);
    }
    SelectObject(MonoDC, OldMono);
    DeleteDC(MonoDC);
    DeleteObject(Mono);
    Brush->SetColor(OldColor);
    Brush->SetStyle(OldStyle);
    return;
  }
  TKeepColours Keep(Dest);
  SetTextColor(Dest, RGB(0, 0, 0));
  ::SetBkColor(Dest, RGB(255, 255, 255));
  if (Style & ILD_MASK) {
    BitBlt(Dest, X, Y, FWidth, FHeight, MaskDC, 0, 0, SRCCOPY);
    return;
  }
  TBitmap* Source = Cell.Image.get();
  std::unique_ptr<TBitmap> Blended;
  if (Style & (ILD_BLEND25 | ILD_BLEND50)) {
    // Focused and selected images are tinted with the blend colour (25 % or 50 %).
    COLORREF Blend = ColorToRGB(FBlendColor == clNone || FBlendColor == clDefault ? clHighlight : FBlendColor);
    int Weight = (Style & ILD_BLEND50) ? 128 : 64;
    Blended = std::make_unique<TBitmap>();
    Blended->Assign(Source);
    for (int Row = 0; Row < FHeight; ++Row) {
      auto* P = static_cast<std::uint8_t*>(Blended->ScanLine(Row));
      for (int Col = 0; Col < FWidth; ++Col, P += 4) {
        if (FMasked && MaskBit(Cell.Mask.get(), Col, Row)) continue;
        P[0] = static_cast<std::uint8_t>((P[0] * (256 - Weight) + GetBValue(Blend) * Weight) >> 8);
        P[1] = static_cast<std::uint8_t>((P[1] * (256 - Weight) + GetGValue(Blend) * Weight) >> 8);
        P[2] = static_cast<std::uint8_t>((P[2] * (256 - Weight) + GetRValue(Blend) * Weight) >> 8);
      }
    }
    Source = Blended.get();
  }
  HDC ImageDC = Source->GetCanvas()->GetHandle();
  if (!FMasked) {
    BitBlt(Dest, X, Y, FWidth, FHeight, ImageDC, 0, 0, SRCCOPY);
    return;
  }
  if (!(Style & ILD_TRANSPARENT) && FBkColor != clNone) {
    HBRUSH Bk = CreateSolidBrush(ColorToRGB(FBkColor));
    RECT R = Bounds(X, Y, FWidth, FHeight);
    ::FillRect(Dest, &R, Bk);
    DeleteObject(Bk);
  }
  BitBlt(Dest, X, Y, FWidth, FHeight, MaskDC, 0, 0, SRCAND);
  BitBlt(Dest, X, Y, FWidth, FHeight, ImageDC, 0, 0, SRCPAINT);
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= GetCount()) return;
  Image->SetSize(FWidth, FHeight);
  if (FBkColor != clNone) {
    Image->GetCanvas()->GetBrush()->SetColor(FBkColor);
    Image->GetCanvas()->FillRect(Rect(0, 0, FWidth, FHeight));
  }
  Draw(Image->GetCanvas(), 0, 0, Index);
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
  if (!Image || Index < 0 || Index >= GetCount()) return;
  const TImage& Cell = FImages[static_cast<size_t>(Index)];
  Image->GetImage()->Assign(Cell.Image.get());
  Image->GetMaskBitmap()->Assign(Cell.Mask.get());
  Image->SetModified(true);
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TCustomImageList*>(Source);
  if (!Other) {
    TComponent::Assign(Source);
    return;
  }
  if (Other == this) return;
  FWidth = Other->FWidth;
  FHeight = Other->FHeight;
  FBkColor = Other->FBkColor;
  FBlendColor = Other->FBlendColor;
  FDrawingStyle = Other->FDrawingStyle;
  FImageType = Other->FImageType;
  FMasked = Other->FMasked;
  FAllocBy = Other->FAllocBy;
  FImages.clear();
  for (const TImage& Cell : Other->FImages) {
    TImage Copy;
    Copy.Image = std::make_unique<TBitmap>();
    Copy.Image->Assign(Cell.Image.get());
    Copy.Mask = std::make_unique<TBitmap>();
    Copy.Mask->Assign(Cell.Mask.get());
    FImages.push_back(std::move(Copy));
  }
  Change();
}

void TCustomImageList::Change() {
  if (GetComponentState() & (csLoading | csDestroying)) return;
  // A link's handler may unregister links (its own or others'): walk a copy and skip those gone.
  std::vector<TChangeLink*> Links = FClients;
  for (TChangeLink* Link : Links)
    if (std::find(FClients.begin(), FClients.end(), Link) != FClients.end()) Link->Change();
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TChangeLink

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---------------------------------------------------------------------------------------------
// TDragImageList

namespace {
constexpr const char* DragImageClassName = "TDragImageWindow";
// The colour the transparent pixels of the drag window are painted in (keyed out).
constexpr COLORREF DragKeyColour = RGB(255, 0, 255);
constexpr BYTE DragAlpha = 0xC0;
}  // namespace

LRESULT DragImageWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* List = reinterpret_cast<TDragImageList*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
  switch (Msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;  // the pointer finds what lies beneath
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = BeginPaint(Wnd, &PS);
      if (List && DC) List->PaintWindow(DC);
      EndPaint(Wnd, &PS);
      return 0;
    }
    default: return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

namespace DragInternal {
void ImagesDestroying(TDragImageList* Images);
}

TDragImageList::~TDragImageList() {
  EndDrag();
  DragInternal::ImagesDestroying(this);
}

bool TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
  if (Index < 0 || Index >= GetCount()) return false;
  FDragIndex = Index;
  FDragHotspot = Point(HotSpotX, HotSpotY);
  if (FDragWindow) InvalidateRect(FDragWindow, nullptr, TRUE);
  return true;
}

void TDragImageList::PlaceWindow(int X, int Y) {
  POINT P{X, Y};
  if (FDragHandle && FDragHandle != GetDesktopWindow()) ClientToScreen(FDragHandle, &P);
  SetWindowPos(FDragWindow, HWND_TOPMOST, P.x - FDragHotspot.x, P.y - FDragHotspot.y, GetWidth(), GetHeight(),
               SWP_NOACTIVATE);
}

void TDragImageList::PaintWindow(HDC DC) {
  HBRUSH Key = CreateSolidBrush(DragKeyColour);
  RECT R = Rect(0, 0, GetWidth(), GetHeight());
  ::FillRect(DC, &R, Key);
  DeleteObject(Key);
  TCanvas Canvas;
  Canvas.SetHandle(DC);
  Draw(&Canvas, 0, 0, FDragIndex, dsTransparent, itImage, true);
  Canvas.SetHandle(nullptr);
}

bool TDragImageList::BeginDrag(HWND Window, int X, int Y) {
  if (FDragIndex < 0 || FDragIndex >= GetCount()) return false;
  if (FDragging) EndDrag();
  WNDCLASSA Existing{};
  if (!GetClassInfoA(nullptr, DragImageClassName, &Existing)) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = DragImageWindowProc;
    Class.lpszClassName = DragImageClassName;
    if (!RegisterClassA(&Class)) return false;
  }
  FDragWindow = CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                DragImageClassName, "", WS_POPUP, 0, 0, GetWidth(), GetHeight(), nullptr, nullptr,
                                nullptr, nullptr);
  if (!FDragWindow) return false;
  SetWindowLongPtrA(FDragWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetLayeredWindowAttributes(FDragWindow, DragKeyColour, DragAlpha, LWA_COLORKEY | LWA_ALPHA);
  FDragHandle = Window;
  FDragging = true;
  PlaceWindow(X, Y);
  ShowDragImage();
  return true;
}

bool TDragImageList::DragMove(int X, int Y) {
  if (!FDragging) return false;
  PlaceWindow(X, Y);
  return true;
}

bool TDragImageList::DragLock(HWND Window, int XPos, int YPos) {
  if (!FDragging) return false;
  FDragHandle = Window;
  PlaceWindow(XPos, YPos);
  ShowDragImage();
  return true;
}

void TDragImageList::DragUnlock() { HideDragImage(); }

void TDragImageList::ShowDragImage() {
  if (!FDragging || FShown) return;
  FShown = true;
  ShowWindow(FDragWindow, SW_SHOWNOACTIVATE);
  UpdateWindow(FDragWindow);
}

void TDragImageList::HideDragImage() {
  if (!FDragging || !FShown) return;
  FShown = false;
  ShowWindow(FDragWindow, SW_HIDE);
}

bool TDragImageList::EndDrag() {
  if (!FDragging) return false;
  FDragging = false;
  FShown = false;
  HWND Wnd = FDragWindow;
  FDragWindow = nullptr;
  FDragHandle = nullptr;
  if (Wnd) {
    SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
    DestroyWindow(Wnd);
  }
  return true;
}

void TDragImageList::Change() {
  TCustomImageList::Change();
  // The image shown may have changed (or gone): repaint it.
  if (FDragWindow) {
    if (FDragIndex >= GetCount()) HideDragImage();
    InvalidateRect(FDragWindow, nullptr, TRUE);
  }
}
