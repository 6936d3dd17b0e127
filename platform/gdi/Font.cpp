#include "platform/gdi/Font.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontResolver.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GlyphMarlett.h"

namespace {

// Heights beyond this are taken as this (and the face clamps further); keeps arithmetic on
// caller-supplied sizes from overflowing.
constexpr LONG MaxLogicalSize = 100000;

void SetFaceName(LOGFONTA& Font, const char* Name)
{
  std::memset(Font.lfFaceName, 0, sizeof(Font.lfFaceName));
  if (Name == nullptr) return;
  std::size_t n = strnlen(Name, LF_FACESIZE - 1);
  std::memcpy(Font.lfFaceName, Name, n);
}

} // namespace

String LogFontFaceName(const LOGFONTA& Font)
{
  return String(Font.lfFaceName, strnlen(Font.lfFaceName, LF_FACESIZE));
}

LOGFONTA DefaultGuiLogFont()
{
  LOGFONTA font;
  font.lfHeight = -11;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  SetFaceName(font, "MS Sans Serif");
  return font;
}

HFONT GetDefaultGuiFont()
{
  if (HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT); GdiLookup<TGdiFont>(stock, OBJ_FONT) != nullptr)
    return static_cast<HFONT>(stock);
  static HFONT font = [] {
    auto object = std::make_unique<TGdiFont>(DefaultGuiLogFont());
    object->Stock = true;
    return static_cast<HFONT>(GdiRegisterObject(std::move(object)));
  }();
  return font;
}

HFONT CreateFontIndirectA(const LOGFONTA* Font)
{
  if (Font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LOGFONTA copy = *Font;
  // A face name that fills the whole array loses its last character, as it must end in a zero.
  copy.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(GdiRegisterObject(std::make_unique<TGdiFont>(copy)));
}

HFONT CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic, DWORD Underline,
                  DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                  DWORD PitchAndFamily, LPCSTR FaceName)
{
  LOGFONTA font;
  font.lfHeight = Height;
  font.lfWidth = Width;
  font.lfEscapement = Escapement;
  font.lfOrientation = Orientation;
  font.lfWeight = Weight;
  font.lfItalic = Italic != 0 ? 1 : 0;
  font.lfUnderline = Underline != 0 ? 1 : 0;
  font.lfStrikeOut = StrikeOut != 0 ? 1 : 0;
  font.lfCharSet = static_cast<BYTE>(CharSet);
  font.lfOutPrecision = static_cast<BYTE>(OutPrecision);
  font.lfClipPrecision = static_cast<BYTE>(ClipPrecision);
  font.lfQuality = static_cast<BYTE>(Quality);
  font.lfPitchAndFamily = static_cast<BYTE>(PitchAndFamily);
  SetFaceName(font, FaceName);
  return CreateFontIndirectA(&font);
}

std::shared_ptr<TFontFace> FontFaceFor(const LOGFONTA& Font, bool Upright)
{
  const bool bold = Font.lfWeight >= FW_SEMIBOLD;
  const bool italic = Font.lfItalic != 0;
  TResolvedFont resolved = FontResolver::Resolve(LogFontFaceName(Font), bold, italic);
  TFontFaceKey key;
  key.FileName = resolved.FileName;
  key.FaceIndex = resolved.FaceIndex;
  key.Height = std::clamp<LONG>(Font.lfHeight, -MaxLogicalSize, MaxLogicalSize);
  key.Width = std::clamp<LONG>(Font.lfWidth, -MaxLogicalSize, MaxLogicalSize);
  if (key.Width < 0) key.Width = -key.Width;
  key.SynthBold = bold && !resolved.Bold;
  key.SynthItalic = italic && !resolved.Italic;
  key.Mono = Font.lfQuality == NONANTIALIASED_QUALITY;
  key.Symbol = Font.lfCharSet == SYMBOL_CHARSET;
  key.Escapement = Upright ? 0 : ((Font.lfEscapement % 3600) + 3600) % 3600;
  const String faceName = LogFontFaceName(Font);
  if (GlyphMarlett::IsMarlett(faceName) && !FontResolver::IsInstalledFamily(faceName)) {
    key.FileName.clear();
    key.FaceIndex = 0;
    key.SynthBold = key.SynthItalic = key.Symbol = false;
    key.Escapement = 0;
    key.Marlett = true;
  }
  return TFontFace::Get(key);
}

LOGFONTA DcLogFont(TDeviceContext& DC)
{
  TGdiFont* font = DC.FontObject();
  if (font == nullptr) font = GdiLookup<TGdiFont>(GetDefaultGuiFont(), OBJ_FONT);
  return font != nullptr ? font->LogFont : DefaultGuiLogFont();
}

std::shared_ptr<TFontFace> DcFontFace(TDeviceContext& DC, bool Upright)
{
  return FontFaceFor(DcLogFont(DC), Upright);
}
