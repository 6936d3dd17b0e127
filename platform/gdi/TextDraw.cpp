// DrawTextA, DrawTextW and DrawTextExA: the layout of TextLayout drawn with the DC's font.
#include <cstring>
#include <mutex>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextLayout.h"
#include "platform/gdi/TextRender.h"

namespace {

// Buffer: the caller's text when it may be written back (DT_MODIFYSTRING), with Count as given.
int DrawTextCore(HDC DC, const char* Text, std::size_t Length, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params,
                 char* Buffer, int Count)
{
  TDeviceContext* dc = DcFromHandle(DC);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (Rect == nullptr || (Text == nullptr && Length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  const LOGFONTA log = DcLogFont(*dc);
  auto face = FontFaceFor(log, true);
  const TFontMetrics& m = face->Metrics();
  const int extra = dc->TextCharacterExtra;

  TTextLayoutFont font;
  font.Height = m.Height;
  font.ExternalLeading = m.ExternalLeading;
  font.AveCharWidth = m.AveCharWidth;
  font.SingleByte = face->Key().Symbol;
  TFontFace* f = face.get();
  font.CharWidth = [f, extra](char32_t C) { return f->Advance(C) + extra; };
  TTextLayoutOptions options;
  if (Params != nullptr) {
    options.HasParams = true;
    options.TabLength = Params->iTabLength;
    options.LeftMargin = Params->iLeftMargin;
    options.RightMargin = Params->iRightMargin;
  }
  TTextLayout layout = LayoutText(Text, Length, Format, *Rect, font, options);

  if (Params != nullptr) Params->uiLengthDrawn = layout.LengthDrawn;
  if (layout.Modified && Buffer != nullptr) {
    // Written back only where it fits the caller's text: a NUL-terminated text has room for
    // its length plus the zero; a counted text for its count.
    const std::size_t room = Count < 0 ? Length : static_cast<std::size_t>(Count);
    const String& shown = layout.ModifiedText;
    if (shown.size() <= room) {
      std::memcpy(Buffer, shown.data(), shown.size());
      if (Count < 0 || shown.size() < room) Buffer[shown.size()] = 0;
    }
  }
  if (Format & DT_CALCRECT) {
    *Rect = layout.CalcRect;
    return layout.Result;
  }

  const RECT* clip = layout.Clip ? &layout.ClipRect : nullptr;
  const bool prefixOnly = (Format & DT_PREFIXONLY) != 0;
  for (const auto& line : layout.Lines) {
    if (!line.Visible) continue;
    if (!prefixOnly && !line.Glyphs.empty()) {
      std::vector<TextRender::TRunChar> run;
      run.reserve(line.Glyphs.size());
      for (const auto& g : line.Glyphs) run.push_back(TextRender::TRunChar{g.Code, g.Width});
      TextRender::DrawRun(*dc, *face, line.X, line.Y, TA_LEFT | TA_TOP, clip != nullptr ? ETO_CLIPPED : 0, clip, run,
                          log.lfUnderline != 0, log.lfStrikeOut != 0);
    }
    for (const auto& g : line.Glyphs)
      if (g.Underline) TextRender::DrawUnderlineMark(*dc, *face, line.X + g.X, line.Y, g.Width, clip);
  }
  return layout.Result;
}

} // namespace

int DrawTextA(HDC DC, LPCSTR Text, int Count, RECT* Rect, UINT Format)
{
  // The text is the caller's constant: DT_MODIFYSTRING has nothing to write to.
  return DrawTextCore(DC, Text, TextCodec::CountedLength(Text, Count), Rect, Format, nullptr, nullptr, Count);
}

int DrawTextExA(HDC DC, LPSTR Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params)
{
  if (Params != nullptr && Params->cbSize != sizeof(DRAWTEXTPARAMS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return DrawTextCore(DC, Text, TextCodec::CountedLength(Text, Count), Rect, Format, Params,
                      (Format & DT_MODIFYSTRING) ? Text : nullptr, Count);
}

int DrawTextW(HDC DC, const wchar_t* Text, int Count, RECT* Rect, UINT Format)
{
  const String text = TextCodec::WideToUtf8(Text, Count);
  return DrawTextCore(DC, text.data(), text.size(), Rect, Format, nullptr, nullptr, -1);
}
