// Text extents, font metrics and face names of the font selected into a device context.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontResolver.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextRender.h"

namespace {

TDeviceContext* CheckedDc(HDC DC)
{
  TDeviceContext* dc = DcFromHandle(DC);
  if (dc == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

} // namespace

BOOL GetTextExtentPoint32A(HDC DC, LPCSTR Text, int Count, SIZE* Size)
{
  TDeviceContext* dc = CheckedDc(DC);
  if (dc == nullptr) return FALSE;
  if (Size == nullptr || Count < 0 || (Text == nullptr && Count > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  auto face = DcFontFace(*dc, true);
  auto run = TextRender::MeasureRun(*dc, *face, Text, static_cast<std::size_t>(Count));
  Size->cx = TextRender::RunWidth(run);
  Size->cy = face->Metrics().Height;
  return TRUE;
}

BOOL GetTextExtentExPointA(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit, LPINT Dx, SIZE* Size)
{
  TDeviceContext* dc = CheckedDc(DC);
  if (dc == nullptr) return FALSE;
  if (Size == nullptr || Count < 0 || (Text == nullptr && Count > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  auto face = DcFontFace(*dc, true);
  std::vector<TTextChar> chars = TextCodec::Decode(Text, static_cast<std::size_t>(Count), face->Key().Symbol);
  // Counts and partial extents are in bytes, so that a caller's cut at Fit never splits a
  // character: every byte of a character gets the extent up to the character's end.
  long long extent = 0;
  int fit = 0;
  bool fitting = true;
  for (const auto& c : chars) {
    extent += face->Advance(c.Code) + dc->TextCharacterExtra;
    if (fitting && Fit != nullptr && extent > MaxExtent) fitting = false;
    if (fitting) fit = static_cast<int>(c.SrcEnd);
    if (Dx != nullptr && (Fit == nullptr || fitting))
      for (std::uint32_t b = c.SrcBegin; b < c.SrcEnd; ++b) Dx[b] = static_cast<int>(extent);
  }
  if (Fit != nullptr) *Fit = fit;
  Size->cx = static_cast<LONG>(std::clamp<long long>(extent, 0, 0x7FFFFFFF));
  Size->cy = face->Metrics().Height;
  return TRUE;
}

DWORD GetTabbedTextExtentA(HDC DC, LPCSTR Text, int Count, int TabPositions, const INT* TabStops)
{
  TDeviceContext* dc = CheckedDc(DC);
  if (dc == nullptr) return 0;
  if (Count < 0 || (Text == nullptr && Count > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  auto face = DcFontFace(*dc, true);
  auto run = TextRender::MeasureRun(*dc, *face, Text, static_cast<std::size_t>(Count));
  TextRender::ExpandTabStops(run, 0, TabPositions, TabStops, 0, face->Metrics().AveCharWidth);
  return MAKELONG(static_cast<WORD>(TextRender::RunWidth(run)), static_cast<WORD>(face->Metrics().Height));
}

BOOL GetTextMetricsA(HDC DC, TEXTMETRICA* Metrics)
{
  TDeviceContext* dc = CheckedDc(DC);
  if (dc == nullptr) return FALSE;
  if (Metrics == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  const LOGFONTA log = DcLogFont(*dc);
  auto face = FontFaceFor(log, true);
  const TFontMetrics& m = face->Metrics();
  TEXTMETRICA tm;
  tm.tmHeight = m.Height;
  tm.tmAscent = m.Ascent;
  tm.tmDescent = m.Descent;
  tm.tmInternalLeading = m.InternalLeading;
  tm.tmExternalLeading = m.ExternalLeading;
  tm.tmAveCharWidth = m.AveCharWidth;
  tm.tmMaxCharWidth = m.MaxCharWidth;
  tm.tmWeight = log.lfWeight > 0 ? std::min<LONG>(log.lfWeight, 1000) : FW_NORMAL;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  const bool symbol = log.lfCharSet == SYMBOL_CHARSET;
  tm.tmFirstChar = symbol ? 0x20 : 0x1E;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = log.lfItalic != 0 ? 255 : 0;
  tm.tmUnderlined = log.lfUnderline != 0 ? 255 : 0;
  tm.tmStruckOut = log.lfStrikeOut != 0 ? 255 : 0;
  // Bit 0 set means a variable pitch (the Windows meaning of TMPF_FIXED_PITCH).
  BYTE family = log.lfPitchAndFamily & 0xF0;
  if (family == FF_DONTCARE) {
    const String name = FontResolver::MapFamily(LogFontFaceName(log));
    if (m.FixedPitch || name.find("Mono") != String::npos)
      family = FF_MODERN;
    else if (name.find("Serif") != String::npos && name.find("Sans") == String::npos)
      family = FF_ROMAN;
    else
      family = FF_SWISS;
  }
  tm.tmPitchAndFamily = static_cast<BYTE>(family | TMPF_TRUETYPE | TMPF_VECTOR | (m.FixedPitch ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = log.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : log.lfCharSet;
  *Metrics = tm;
  return TRUE;
}

int GetTextFaceA(HDC DC, int Count, LPSTR Name)
{
  TDeviceContext* dc = CheckedDc(DC);
  if (dc == nullptr) return 0;
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  const LOGFONTA log = DcLogFont(*dc);
  String face = LogFontFaceName(log);
  // A font made without a name draws with the dialog face; report the family really used.
  if (face.empty()) face = FontResolver::Resolve(face, false, false).Family;
  if (Name == nullptr) return static_cast<int>(face.size()) + 1;
  if (Count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t n = std::min(face.size(), static_cast<std::size_t>(Count - 1));
  std::memcpy(Name, face.data(), n);
  Name[n] = 0;
  return static_cast<int>(n) + 1;
}

BOOL GetCharWidth32A(HDC DC, UINT First, UINT Last, LPINT Widths)
{
  TDeviceContext* dc = CheckedDc(DC);
  if (dc == nullptr) return FALSE;
  if (Widths == nullptr || Last < First) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  auto face = DcFontFace(*dc, true);
  const bool symbol = face->Key().Symbol;
  for (UINT c = First;; ++c) {
    // Codes below 256 are the single-byte characters of text; larger ones are code points.
    char32_t code = c < 256 && !symbol ? TextCodec::ByteToChar(static_cast<unsigned char>(c)) : static_cast<char32_t>(c);
    Widths[c - First] = face->Advance(code);
    if (c == Last) break;
  }
  return TRUE;
}
