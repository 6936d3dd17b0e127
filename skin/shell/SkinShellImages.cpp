#include "skin/shell/SkinShellImages.h"

#include "platform/os/ShellNamespace.h"
#include "platform/vcl/ImgList.h"
#include "skin/shell/SkinProgramGlyphs.h"

namespace {

const char* GlyphOfIcon(int Index)
{
  switch (Index) {
    case siFolderOpen: return "SK_OPENFOLDER";
    case siFolder:
    case siFolderLocked:
    case siFolderLink: return "SK_CLOSEDFOLDER";
    case siFile:
    case siFileLink: return "SK_FILE";
    case siHome: return "SK_CURRENTFOLDER";
    case siOpticalDisc: return "SK_CDROM";
    case siRemovable: return "SK_FLOPPY";
    case siNetworkDrive: return "SK_NETWORK";
    default: return "SK_HARD";  // desktop, computer, hard disks
  }
}

TCustomImageList* MakeImages(int Size)
{
  auto* list = new TCustomImageList(nullptr, Size, Size);
  for (int i = 0; i < siShellIconCount; ++i) {
    auto glyph = LoadProgramGlyph(GlyphOfIcon(i));
    TBitmap image;
    image.SetSize(Size, Size);
    const TColor back = glyph->GetCanvas()->GetPixels(0, glyph->GetHeight() - 1);
    image.GetCanvas()->GetBrush()->SetColor(back);
    image.GetCanvas()->FillRect(TRect{0, 0, Size, Size});
    const int scale = Size / 16;
    const int top = (Size - glyph->GetHeight() * scale) / 2;
    image.GetCanvas()->StretchDraw(TRect{0, top, 16 * scale, top + glyph->GetHeight() * scale}, glyph.get());
    list->AddMasked(&image, back);
  }
  return list;
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
