// TextOutA, ExtTextOutA and TabbedTextOutA.
#include <mutex>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextRender.h"

namespace {

// Draws a measured run at (X, Y) or at the current position with TA_UPDATECP, and moves the
// current position past the text.
void OutputRun(TDeviceContext& DC, TFontFace& Face, const LOGFONTA& Log, int X, int Y, UINT Options,
               const RECT* Rect, const std::vector<TextRender::TRunChar>& Run)
{
  const UINT align = DC.TextAlign;
  const bool updateCp = (align & TA_UPDATECP) != 0;
  if (updateCp) {
    X = DC.CurrentPos.x;
    Y = DC.CurrentPos.y;
  }
  TextRender::DrawRun(DC, Face, X, Y, align, Options, Rect, Run, Log.lfUnderline != 0, Log.lfStrikeOut != 0);
  if (updateCp) {
    const int width = TextRender::RunWidth(Run);
    int move = 0;
    if ((align & TA_CENTER) == TA_CENTER)
      move = 0;
    else if (align & TA_RIGHT)
      move = -width;
    else
      move = width;
    // Along the text's direction for the right angles; other angles move along x.
    switch (Face.Key().Escapement) {
    case 900: DC.CurrentPos.y -= move; break;
    case 1800: DC.CurrentPos.x -= move; break;
    case 2700: DC.CurrentPos.y += move; break;
    default: DC.CurrentPos.x += move; break;
    }
  }
}

} // namespace

BOOL ExtTextOutA(HDC DC, int X, int Y, UINT Options, const RECT* Rect, LPCSTR Text, UINT Count, const INT* Dx)
{
  TDeviceContext* dc = DcFromHandle(DC);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (Text == nullptr && Count > 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  const LOGFONTA log = DcLogFont(*dc);
  auto face = FontFaceFor(log);
  auto run = TextRender::MeasureRun(*dc, *face, Text, Count, Dx);
  OutputRun(*dc, *face, log, X, Y, Options, Rect, run);
  return TRUE;
}

BOOL TextOutA(HDC DC, int X, int Y, LPCSTR Text, int Count)
{
  if (Count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ExtTextOutA(DC, X, Y, 0, nullptr, Text, static_cast<UINT>(Count), nullptr);
}

LONG TabbedTextOutA(HDC DC, int X, int Y, LPCSTR Text, int Count, int TabPositions, const INT* TabStops,
                    int TabOrigin)
{
  TDeviceContext* dc = DcFromHandle(DC);
  if (dc == nullptr || Count < 0 || (Text == nullptr && Count > 0)) {
    SetLastError(dc == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  const LOGFONTA log = DcLogFont(*dc);
  auto face = FontFaceFor(log, true);
  auto run = TextRender::MeasureRun(*dc, *face, Text, static_cast<std::size_t>(Count));
  const int startX = (dc->TextAlign & TA_UPDATECP) ? dc->CurrentPos.x : X;
  TextRender::ExpandTabStops(run, startX, TabPositions, TabStops, TabOrigin, face->Metrics().AveCharWidth);
  OutputRun(*dc, *face, log, X, Y, 0, nullptr, run);
  return static_cast<LONG>(MAKELONG(static_cast<WORD>(TextRender::RunWidth(run)), static_cast<WORD>(face->Metrics().Height)));
}
