#include "platform/vcl/StdEdit.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gdi/TextCodec.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Controls.h"

namespace {

constexpr int kDefaultLimit = 32767;
constexpr int kMaxLimit = 0x7FFFFFFE;
constexpr int kWheelLines = 3;

struct TEditLine {
  int Start = 0;
  int Len = 0;       // bytes shown, without the line break
  int BreakLen = 0;  // 2 for CR LF, 1 for LF, 0 for a wrapped or the last line
};

// A hard line and the lines it shows as.
struct TParagraph {
  int Start = 0;
  int Len = 0;
  int BreakLen = 0;
  int Width = 0;  // of its widest line (0 when nothing needs it)
  std::vector<TEditLine> Lines;
};

// Widths of a run of text at every byte offset, and where characters begin.
struct TMeasure {
  std::vector<int> X;          // X[i]: width of the first i bytes (i = 0..n)
  std::vector<char> Boundary;  // Boundary[i]: a character begins (or the text ends) at i
};

bool KeyDown(int Vk) { return (GetKeyState(Vk) & 0x8000) != 0; }

int Utf8SequenceLength(unsigned char B) {
  if (B >= 0xC2 && B <= 0xDF) return 2;
  if (B >= 0xE0 && B <= 0xEF) return 3;
  if (B >= 0xF0 && B <= 0xF4) return 4;
  return 1;
}

class TEditControl {
public:
  explicit TEditControl(HWND AWnd) : Wnd(AWnd) {
    MeasureDC = CreateCompatibleDC(nullptr);
    DWORD Style = GetStyle();
    WantHScroll = (Style & WS_HSCROLL) != 0;
    WantVScroll = (Style & WS_VSCROLL) != 0;
    ApplyFont(nullptr);
  }
  ~TEditControl() {
    if (MeasureDC) DeleteDC(MeasureDC);
  }
  TEditControl(const TEditControl&) = delete;
  TEditControl& operator=(const TEditControl&) = delete;

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

private:
  HWND Wnd;
  HDC MeasureDC = nullptr;
  HFONT Font = nullptr;
  String Text;
  int Anchor = 0;
  int Caret = 0;
  int LeftMargin = 0;
  int RightMargin = 0;
  RECT Fmt{};
  int FirstLine = 0;
  int XOffset = 0;
  int Limit = kDefaultLimit;
  char PasswordChar = '*';
  bool Modified = false;
  String UndoText;
  int UndoAnchor = 0;
  int UndoCaret = 0;
  bool CanUndo = false;
  bool TypingRun = false;
  int TypingEnd = -1;
  bool Focused = false;
  bool Selecting = false;
  bool WantHScroll = false;
  bool WantVScroll = false;
  bool InScrollUpdate = false;
  int LineHeight = 16;
  int AveCharWidth = 7;
  int MaxWidth = 0;
  String PendingChar;
  size_t PendingNeed = 0;
  std::vector<TEditLine> Lines{TEditLine{}};
  std::vector<TParagraph> Paragraphs;

  DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }
  bool Multi() const { return (GetStyle() & ES_MULTILINE) != 0; }
  bool Password() const { return !Multi() && (GetStyle() & ES_PASSWORD) != 0; }
  bool ReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
  bool Wrap() const { return Multi() && !(GetStyle() & ES_AUTOHSCROLL) && !WantHScroll; }
  bool Aligned() const { return (GetStyle() & (ES_CENTER | ES_RIGHT)) != 0; }
  int Length() const { return static_cast<int>(Text.size()); }
  int SelMin() const { return std::min(Anchor, Caret); }
  int SelMax() const { return std::max(Anchor, Caret); }
  int FmtWidth() const { return std::max<int>(0, Fmt.right - Fmt.left); }
  int VisibleLines() const { return Multi() ? std::max(1, static_cast<int>(Fmt.bottom - Fmt.top) / std::max(1, LineHeight)) : 1; }
  int LineCount() const { return static_cast<int>(Lines.size()); }
  int MaxFirstLine() const { return std::max(0, LineCount() - VisibleLines()); }

  void SetStyleBit(DWORD Bit, bool On) {
    DWORD Style = GetStyle();
    SetWindowLongA(Wnd, GWL_STYLE, static_cast<LONG>(On ? (Style | Bit) : (Style & ~Bit)));
  }

  TMeasure Measure(int Start, int Len) const;
  void ApplyFont(HFONT AFont);
  void ResetFormatRect();
  void Layout();
  void LayoutParagraphs(int From, int To, std::vector<TParagraph>& Out) const;
  void LayoutChange(int A, int OldEnd, int NewEnd);
  void RebuildLines();
  // Without wrapping, a horizontal bar or centring nothing needs the line widths at once.
  bool WidthsNeeded() const { return Wrap() || WantHScroll || (GetStyle() & (ES_CENTER | ES_RIGHT)) != 0 || !Multi(); }
  int TextWidth() const {
    if (WidthsNeeded()) return MaxWidth;
    int W = 0;
    for (int L = 0; L < LineCount(); ++L) W = std::max(W, LineWidth(L));
    return W;
  }
  int LineOf(int Pos) const;
  int LineX(int L) const;
  int LineWidth(int L) const { return Measure(Lines[L].Start, Lines[L].Len).X.back(); }
  int Snap(int Pos) const;
  int NextPos(int Pos) const;
  int PrevPos(int Pos) const;
  int WordLeft(int Pos) const;
  int WordRight(int Pos) const;
  int LineEndPos(int L) const;
  POINT PosFromChar(int Pos) const;
  int CharFromPoint(int X, int Y) const;
  void ScrollCaretIntoView();
  void UpdateScrollInfo();
  void UpdateCaret();
  void Invalidate() { InvalidateRect(Wnd, nullptr, TRUE); }
  void Notify(WORD Code);
  void MoveCaret(int Pos, bool Extend);
  void SetFirstLine(int L);
  void SetXOffset(int X);
  int VScroll(WORD Code, int ThumbPos);
  void HScroll(WORD Code, int ThumbPos);
  bool ReplaceSel(String Ins, bool Undoable, bool Typing);
  void SetText(const char* S);
  void DeleteRange(int A, int B);
  bool Undo();
  void EmptyUndo() {
    CanUndo = false;
    TypingRun = false;
    UndoText.clear();
  }
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  void KeyDownMsg(WPARAM Vk);
  void CharMsg(WPARAM Ch);
  void TypeText(String S);
  void Paint(HDC DC);
  HBRUSH QueryBrush(HDC DC);
  String DisplayRun(int Start, int Len) const;
};

TMeasure TEditControl::Measure(int Start, int Len) const {
  TMeasure M;
  M.X.assign(static_cast<size_t>(Len) + 1, 0);
  M.Boundary.assign(static_cast<size_t>(Len) + 1, 0);
  M.Boundary[0] = 1;
  M.Boundary[static_cast<size_t>(Len)] = 1;
  if (Len <= 0) return M;
  const char* S = Text.data() + Start;
  std::vector<TTextChar> Chars = TextCodec::Decode(S, static_cast<size_t>(Len));
  if (Password()) {
    SIZE Sz{};
    GetTextExtentPoint32A(MeasureDC, &PasswordChar, 1, &Sz);
    int K = 0;
    for (const TTextChar& C : Chars) {
      for (std::uint32_t B = C.SrcBegin; B < C.SrcEnd; ++B) M.X[B] = K * Sz.cx;
      M.Boundary[C.SrcBegin] = 1;
      ++K;
      M.X[C.SrcEnd] = K * Sz.cx;
    }
    return M;
  }
  std::vector<int> Dx(static_cast<size_t>(Len), 0);
  SIZE Sz{};
  GetTextExtentExPointA(MeasureDC, S, Len, 0, nullptr, Dx.data(), &Sz);
  int Prev = 0;
  for (const TTextChar& C : Chars) {
    for (std::uint32_t B = C.SrcBegin; B < C.SrcEnd; ++B) M.X[B] = Prev;
    M.Boundary[C.SrcBegin] = 1;
    Prev = Dx[C.SrcEnd - 1];
    M.X[C.SrcEnd] = Prev;
  }
  return M;
}

void TEditControl::ApplyFont(HFONT AFont) {
  Font = AFont;
  SelectObject(MeasureDC, AFont ? static_cast<HGDIOBJ>(AFont) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA Tm{};
  if (GetTextMetricsA(MeasureDC, &Tm)) {
    LineHeight = std::max<int>(1, Tm.tmHeight);
    AveCharWidth = std::max<int>(1, Tm.tmAveCharWidth);
  }
}

// The formatting rectangle follows the client area less the margins.
void TEditControl::ResetFormatRect() {
  RECT R{};
  GetClientRect(Wnd, &R);
  R.left += LeftMargin;
  R.right -= RightMargin;
  if (R.right < R.left) R.right = R.left;
  Fmt = R;
}

// Lays out the paragraphs (hard lines) of Text[From, To), To being a paragraph end or the
// text's end, into Out.
void TEditControl::LayoutParagraphs(int From, int To, std::vector<TParagraph>& Out) const {
  bool DoWrap = Wrap();
  int Width = FmtWidth();
  int P = From;
  while (true) {
    size_t E = Text.find('\n', static_cast<size_t>(P));
    if (E != String::npos && static_cast<int>(E) >= To) E = String::npos;
    int ParaEnd = To;
    int Brk = 0;
    if (E != String::npos) {
      int LF = static_cast<int>(E);
      ParaEnd = (LF > P && Text[static_cast<size_t>(LF) - 1] == '\r') ? LF - 1 : LF;
      Brk = LF + 1 - ParaEnd;
    }
    TParagraph Para;
    Para.Start = P;
    Para.Len = ParaEnd - P;
    Para.BreakLen = Brk;
    int Len = Para.Len;
    if (!WidthsNeeded()) {
      Para.Lines.push_back(TEditLine{P, Len, Brk});
    } else {
      TMeasure M = Measure(P, Len);
      if (!DoWrap || Width <= 0 || M.X.back() <= Width) {
        Para.Lines.push_back(TEditLine{P, Len, Brk});
        Para.Width = M.X.back();
      } else {
        int S = 0;
        while (true) {
          if (M.X[static_cast<size_t>(Len)] - M.X[static_cast<size_t>(S)] <= Width) {
            Para.Lines.push_back(TEditLine{P + S, Len - S, Brk});
            Para.Width = std::max(Para.Width, M.X[static_cast<size_t>(Len)] - M.X[static_cast<size_t>(S)]);
            break;
          }
          // The last character boundary that still fits; at least one character per line.
          int Fit = S;
          for (int I = S + 1; I <= Len; ++I) {
            if (!M.Boundary[static_cast<size_t>(I)]) continue;
            if (M.X[static_cast<size_t>(I)] - M.X[static_cast<size_t>(S)] > Width) break;
            Fit = I;
          }
          if (Fit == S) {
            Fit = S + 1;
            while (Fit < Len && !M.Boundary[static_cast<size_t>(Fit)]) ++Fit;
          }
          // Break after the last space inside what fits; the spaces stay on this line.
          int Cut = Fit;
          for (int J = Fit - 1; J > S; --J)
            if (Text[static_cast<size_t>(P + J)] == ' ') {
              Cut = J + 1;
              break;
            }
          if (Text[static_cast<size_t>(P + Cut - 1)] != ' ' || Cut == Fit)
            while (Cut < Len && Text[static_cast<size_t>(P + Cut)] == ' ') ++Cut;
          Para.Lines.push_back(TEditLine{P + S, Cut - S, 0});
          Para.Width = std::max(Para.Width, M.X[static_cast<size_t>(Cut)] - M.X[static_cast<size_t>(S)]);
          S = Cut;
          if (S >= Len) {
            // The break fell on the paragraph's end: no empty line after it.
            Para.Lines.back().BreakLen = Brk;
            break;
          }
        }
      }
    }
    Out.push_back(std::move(Para));
    if (E == String::npos) break;
    P = static_cast<int>(E) + 1;
  }
}

void TEditControl::RebuildLines() {
  Lines.clear();
  MaxWidth = 0;
  for (const TParagraph& Para : Paragraphs) {
    Lines.insert(Lines.end(), Para.Lines.begin(), Para.Lines.end());
    MaxWidth = std::max(MaxWidth, Para.Width);
  }
  if (Lines.empty()) Lines.push_back(TEditLine{});
  FirstLine = std::clamp(FirstLine, 0, MaxFirstLine());
}

void TEditControl::Layout() {
  Paragraphs.clear();
  int N = Length();
  if (!Multi()) {
    TParagraph Para;
    Para.Len = N;
    Para.Lines.push_back(TEditLine{0, N, 0});
    Para.Width = Measure(0, N).X.back();
    Paragraphs.push_back(std::move(Para));
  } else {
    LayoutParagraphs(0, N, Paragraphs);
  }
  RebuildLines();
}

// Text[A, OldEnd) became Text[A, NewEnd): only the paragraphs it touches are laid out again,
// the ones after it move.
void TEditControl::LayoutChange(int A, int OldEnd, int NewEnd) {
  if (!Multi() || Paragraphs.empty()) {
    Layout();
    return;
  }
  auto Last = [&](int Pos) {
    auto It = std::upper_bound(Paragraphs.begin(), Paragraphs.end(), Pos,
                               [](int P, const TParagraph& Para) { return P < Para.Start; });
    return It == Paragraphs.begin() ? 0 : static_cast<int>(It - Paragraphs.begin()) - 1;
  };
  int I0 = Last(A);
  int I1 = Last(OldEnd);
  int Delta = NewEnd - OldEnd;
  const TParagraph& End = Paragraphs[static_cast<size_t>(I1)];
  int RegionEnd = End.BreakLen == 0 ? Length() : End.Start + End.Len + End.BreakLen + Delta;
  std::vector<TParagraph> Fresh;
  LayoutParagraphs(Paragraphs[static_cast<size_t>(I0)].Start, RegionEnd, Fresh);
  // A region ending right after a line break also starts the paragraph that follows it.
  if (!Fresh.empty() && Fresh.back().BreakLen == 0 && Fresh.back().Len == 0 && Fresh.back().Start == RegionEnd &&
      I1 + 1 < static_cast<int>(Paragraphs.size()))
    Fresh.pop_back();
  for (size_t I = static_cast<size_t>(I1) + 1; I < Paragraphs.size(); ++I) {
    Paragraphs[I].Start += Delta;
    for (TEditLine& L : Paragraphs[I].Lines) L.Start += Delta;
  }
  Paragraphs.erase(Paragraphs.begin() + I0, Paragraphs.begin() + I1 + 1);
  Paragraphs.insert(Paragraphs.begin() + I0, std::make_move_iterator(Fresh.begin()), std::make_move_iterator(Fresh.end()));
  RebuildLines();
}

int TEditControl::LineOf(int Pos) const {
  auto It = std::upper_bound(Lines.begin(), Lines.end(), Pos,
                             [](int P, const TEditLine& L) { return P < L.Start; });
  if (It == Lines.begin()) return 0;
  return static_cast<int>(It - Lines.begin()) - 1;
}

int TEditControl::LineX(int L) const {
  DWORD Style = GetStyle();
  DWORD Align = Style & (ES_CENTER | ES_RIGHT);
  if (Align == ES_LEFT) return 0;
  int Free = FmtWidth() - LineWidth(L);
  if (Free <= 0) return 0;
  return (Align & ES_RIGHT) ? Free : Free / 2;
}

// The start of the character Pos falls in.
int TEditControl::Snap(int Pos) const {
  Pos = std::clamp(Pos, 0, Length());
  const TEditLine& L = Lines[static_cast<size_t>(LineOf(Pos))];
  if (Pos <= L.Start || Pos >= L.Start + L.Len) {
    // Inside a CR LF pair: before it.
    if (L.BreakLen == 2 && Pos == L.Start + L.Len + 1) return L.Start + L.Len;
    return Pos;
  }
  TMeasure M = Measure(L.Start, L.Len);
  int I = Pos - L.Start;
  while (I > 0 && !M.Boundary[static_cast<size_t>(I)]) --I;
  return L.Start + I;
}

int TEditControl::NextPos(int Pos) const {
  if (Pos >= Length()) return Length();
  int Li = LineOf(Pos);
  const TEditLine& L = Lines[static_cast<size_t>(Li)];
  int End = L.Start + L.Len;
  if (Pos >= End) return std::min(Length(), End + std::max(1, L.BreakLen));
  TMeasure M = Measure(L.Start, L.Len);
  int I = Pos - L.Start + 1;
  while (I < L.Len && !M.Boundary[static_cast<size_t>(I)]) ++I;
  return L.Start + I;
}

int TEditControl::PrevPos(int Pos) const {
  if (Pos <= 0) return 0;
  int Li = LineOf(Pos);
  const TEditLine* L = &Lines[static_cast<size_t>(Li)];
  if (Pos == L->Start) {
    if (Li == 0) return 0;
    L = &Lines[static_cast<size_t>(Li - 1)];
    if (L->BreakLen > 0) return L->Start + L->Len;
  }
  int Rel = std::min(Pos - L->Start, L->Len);
  if (Rel <= 0) return L->Start;
  TMeasure M = Measure(L->Start, L->Len);
  int I = Rel - 1;
  while (I > 0 && !M.Boundary[static_cast<size_t>(I)]) --I;
  return L->Start + I;
}

int TEditControl::WordLeft(int Pos) const {
  auto IsSpace = [this](int I) { char C = Text[static_cast<size_t>(I)]; return C == ' ' || C == '\t' || C == '\r' || C == '\n'; };
  int P = Pos;
  while (P > 0 && IsSpace(P - 1)) --P;
  while (P > 0 && !IsSpace(P - 1)) --P;
  return Snap(P);
}

int TEditControl::WordRight(int Pos) const {
  auto IsSpace = [this](int I) { char C = Text[static_cast<size_t>(I)]; return C == ' ' || C == '\t' || C == '\r' || C == '\n'; };
  int N = Length();
  int P = Pos;
  while (P < N && !IsSpace(P)) ++P;
  while (P < N && IsSpace(P)) ++P;
  return Snap(P);
}

// Where End puts the caret: after the last character shown on line L (before the last
// character of a wrapped line, whose end is the next line's start).
int TEditControl::LineEndPos(int L) const {
  const TEditLine& Line = Lines[static_cast<size_t>(L)];
  int End = Line.Start + Line.Len;
  if (Line.BreakLen == 0 && L + 1 < LineCount() && Line.Len > 0) return PrevPos(End);
  return End;
}

POINT TEditControl::PosFromChar(int Pos) const {
  int Li = LineOf(Pos);
  const TEditLine& L = Lines[static_cast<size_t>(Li)];
  TMeasure M = Measure(L.Start, L.Len);
  int Rel = std::clamp(Pos - L.Start, 0, L.Len);
  POINT P;
  P.x = Fmt.left + LineX(Li) + M.X[static_cast<size_t>(Rel)] - XOffset;
  P.y = Fmt.top + (Li - FirstLine) * LineHeight;
  return P;
}

int TEditControl::CharFromPoint(int X, int Y) const {
  int Li = 0;
  if (Multi()) {
    int Dy = Y - static_cast<int>(Fmt.top);
    int Row = Dy >= 0 ? Dy / LineHeight : -((-Dy + LineHeight - 1) / LineHeight);
    Li = std::clamp(FirstLine + Row, 0, LineCount() - 1);
  }
  const TEditLine& L = Lines[static_cast<size_t>(Li)];
  TMeasure M = Measure(L.Start, L.Len);
  int Rel = X - static_cast<int>(Fmt.left) - LineX(Li) + XOffset;
  int Best = 0;
  int Prev = 0;
  for (int I = 1; I <= L.Len; ++I) {
    if (!M.Boundary[static_cast<size_t>(I)]) continue;
    int Mid = (M.X[static_cast<size_t>(Prev)] + M.X[static_cast<size_t>(I)]) / 2;
    if (Rel < Mid) break;
    Best = I;
    Prev = I;
  }
  int Pos = L.Start + Best;
  if (Best == L.Len && L.BreakLen == 0 && Li + 1 < LineCount() && L.Len > 0) Pos = LineEndPos(Li);
  return Pos;
}

void TEditControl::UpdateCaret() {
  if (!Focused) return;
  POINT P = PosFromChar(Caret);
  // At the right edge of aligned text: on the last column inside.
  if (Aligned() && P.x == Fmt.right && Fmt.right > Fmt.left) --P.x;
  SetCaretPos(P.x, P.y);
}

void TEditControl::ScrollCaretIntoView() {
  if (Multi()) {
    int Li = LineOf(Caret);
    int Vis = VisibleLines();
    if (Li < FirstLine) FirstLine = Li;
    if (Li >= FirstLine + Vis) FirstLine = Li - Vis + 1;
    FirstLine = std::clamp(FirstLine, 0, MaxFirstLine());
  }
  if (!Wrap()) {
    int Li = LineOf(Caret);
    const TEditLine& L = Lines[static_cast<size_t>(Li)];
    TMeasure M = Measure(L.Start, L.Len);
    int Cx = LineX(Li) + M.X[static_cast<size_t>(std::clamp(Caret - L.Start, 0, L.Len))];
    int Width = FmtWidth();
    // Right-aligned or centred text may end right at the edge, where the caret is still shown.
    int Last = XOffset + Width - (Aligned() ? 0 : 1);
    if (Cx < XOffset) XOffset = std::max(0, Cx - Width / 4);
    else if (Cx > Last) XOffset = std::max(0, Cx - Width + Width / 4 + 1);
  } else {
    XOffset = 0;
  }
  UpdateScrollInfo();
  UpdateCaret();
}

void TEditControl::UpdateScrollInfo() {
  if (InScrollUpdate || !Multi()) return;
  InScrollUpdate = true;
  if (WantVScroll) {
    SCROLLINFO Si{};
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Si.nMin = 0;
    Si.nMax = LineCount() - 1;
    Si.nPage = static_cast<UINT>(VisibleLines());
    Si.nPos = FirstLine;
    SetScrollInfo(Wnd, SB_VERT, &Si, TRUE);
  }
  if (WantHScroll) {
    SCROLLINFO Si{};
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Si.nMin = 0;
    Si.nMax = std::max(0, MaxWidth - 1);
    Si.nPage = static_cast<UINT>(FmtWidth());
    Si.nPos = XOffset;
    SetScrollInfo(Wnd, SB_HORZ, &Si, TRUE);
  }
  InScrollUpdate = false;
}

void TEditControl::Notify(WORD Code) {
  HWND Parent = GetParent(Wnd);
  if (!Parent) return;
  WORD Id = LOWORD(static_cast<std::uintptr_t>(GetWindowLongPtrA(Wnd, GWLP_ID)));
  SendMessageA(Parent, WM_COMMAND, MAKEWPARAM(Id, Code), reinterpret_cast<LPARAM>(Wnd));
}

void TEditControl::MoveCaret(int Pos, bool Extend) {
  Pos = std::clamp(Pos, 0, Length());
  if (Pos == Caret && (Extend || Anchor == Caret)) return;
  bool HadSel = Anchor != Caret;
  Caret = Pos;
  if (!Extend) Anchor = Pos;
  TypingRun = false;
  if (HadSel || Anchor != Caret) Invalidate();
  int OldFirst = FirstLine, OldX = XOffset;
  ScrollCaretIntoView();
  if (OldFirst != FirstLine || OldX != XOffset) Invalidate();
}

void TEditControl::SetFirstLine(int L) {
  L = std::clamp(L, 0, MaxFirstLine());
  if (L == FirstLine) return;
  FirstLine = L;
  UpdateScrollInfo();
  UpdateCaret();
  Invalidate();
  Notify(EN_VSCROLL);
}

// As far as following the caret can scroll (see ScrollCaretIntoView), so that any position the
// edit took itself can be set again.
void TEditControl::SetXOffset(int X) {
  int Width = FmtWidth();
  X = std::clamp(X, 0, std::max(0, TextWidth() - Width + std::max(AveCharWidth, Width / 4 + 1)));
  if (X == XOffset) return;
  XOffset = X;
  UpdateScrollInfo();
  UpdateCaret();
  Invalidate();
  Notify(EN_HSCROLL);
}

int TEditControl::VScroll(WORD Code, int ThumbPos) {
  int Old = FirstLine;
  switch (Code) {
    case SB_LINEUP: SetFirstLine(FirstLine - 1); break;
    case SB_LINEDOWN: SetFirstLine(FirstLine + 1); break;
    case SB_PAGEUP: SetFirstLine(FirstLine - VisibleLines()); break;
    case SB_PAGEDOWN: SetFirstLine(FirstLine + VisibleLines()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetFirstLine(ThumbPos); break;
    case SB_TOP: SetFirstLine(0); break;
    case SB_BOTTOM: SetFirstLine(MaxFirstLine()); break;
    default: break;
  }
  return FirstLine - Old;
}

void TEditControl::HScroll(WORD Code, int ThumbPos) {
  switch (Code) {
    case SB_LINELEFT: SetXOffset(XOffset - AveCharWidth); break;
    case SB_LINERIGHT: SetXOffset(XOffset + AveCharWidth); break;
    case SB_PAGELEFT: SetXOffset(XOffset - FmtWidth()); break;
    case SB_PAGERIGHT: SetXOffset(XOffset + FmtWidth()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetXOffset(ThumbPos); break;
    case SB_LEFT: SetXOffset(0); break;
    case SB_RIGHT: SetXOffset(TextWidth() - FmtWidth() + AveCharWidth); break;
    default: break;
  }
}

// Replaces the selection with Ins (cut to the text limit); false when nothing changed.
bool TEditControl::ReplaceSel(String Ins, bool Undoable, bool Typing) {
  int A = SelMin(), B = SelMax();
  if (!Multi()) {
    size_t Brk = Ins.find_first_of("\r\n");
    if (Brk != String::npos) Ins.resize(Brk);
  }
  long long Room = static_cast<long long>(Limit) - (Length() - (B - A));
  if (Room < 0) Room = 0;
  bool Truncated = false;
  if (static_cast<long long>(Ins.size()) > Room) {
    size_t Keep = static_cast<size_t>(Room);
    // Never keep half a character.
    std::vector<TTextChar> Chars = TextCodec::Decode(Ins.data(), Ins.size());
    size_t Cut = 0;
    for (const TTextChar& C : Chars) {
      if (C.SrcEnd > Keep) break;
      Cut = C.SrcEnd;
    }
    Ins.resize(Cut);
    Truncated = true;
  }
  if (Truncated) Notify(EN_MAXTEXT);
  if (Ins.empty() && A == B) return false;
  if (Undoable) {
    bool Continue = Typing && TypingRun && A == B && A == TypingEnd;
    if (!Continue) {
      UndoText = Text;
      UndoAnchor = Anchor;
      UndoCaret = Caret;
    }
    CanUndo = true;
  } else {
    EmptyUndo();
  }
  Text.replace(static_cast<size_t>(A), static_cast<size_t>(B - A), Ins);
  Anchor = Caret = A + static_cast<int>(Ins.size());
  TypingRun = Typing;
  TypingEnd = Caret;
  Modified = true;
  LayoutChange(A, B, Caret);
  ScrollCaretIntoView();
  Invalidate();
  Notify(EN_UPDATE);
  Notify(EN_CHANGE);
  return true;
}

void TEditControl::SetText(const char* S) {
  Text = S ? S : "";
  Anchor = Caret = 0;
  FirstLine = 0;
  XOffset = 0;
  Modified = false;
  EmptyUndo();
  Layout();
  ScrollCaretIntoView();
  Invalidate();
  // A multi-line edit does not report text set this way.
  if (!Multi()) {
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
  }
}

void TEditControl::DeleteRange(int A, int B) {
  Anchor = A;
  Caret = B;
  ReplaceSel(String(), true, false);
}

bool TEditControl::Undo() {
  if (!CanUndo) return false;
  std::swap(Text, UndoText);
  std::swap(Anchor, UndoAnchor);
  std::swap(Caret, UndoCaret);
  Anchor = std::clamp(Anchor, 0, Length());
  Caret = std::clamp(Caret, 0, Length());
  TypingRun = false;
  Modified = true;
  Layout();
  ScrollCaretIntoView();
  Invalidate();
  Notify(EN_UPDATE);
  Notify(EN_CHANGE);
  return true;
}

void TEditControl::Copy() {
  int A = SelMin(), B = SelMax();
  // A password is never handed out.
  if (A == B || Password()) return;
  if (!OpenClipboard(Wnd)) return;
  EmptyClipboard();
  String S = Text.substr(static_cast<size_t>(A), static_cast<size_t>(B - A));
  HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, S.size() + 1);
  if (Mem) {
    if (auto* P = static_cast<char*>(GlobalLock(Mem))) {
      std::memcpy(P, S.c_str(), S.size() + 1);
      GlobalUnlock(Mem);
      if (!SetClipboardData(CF_TEXT, Mem)) GlobalFree(Mem);
    } else {
      GlobalFree(Mem);
    }
  }
  CloseClipboard();
}

void TEditControl::Cut() {
  if (ReadOnly() || Password() || Anchor == Caret) {
    if (ReadOnly()) MessageBeep(0);
    return;
  }
  Copy();
  ReplaceSel(String(), true, false);
}

void TEditControl::Paste() {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  if (!OpenClipboard(Wnd)) return;
  String S;
  if (HANDLE Mem = GetClipboardData(CF_TEXT)) {
    if (auto* P = static_cast<const char*>(GlobalLock(Mem))) {
      size_t Max = GlobalSize(Mem);
      S.assign(P, strnlen(P, Max));
      GlobalUnlock(Mem);
    }
  }
  CloseClipboard();
  if (!S.empty()) ReplaceSel(S, true, false);
}

void TEditControl::Clear() {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  if (Anchor != Caret) ReplaceSel(String(), true, false);
}

void TEditControl::KeyDownMsg(WPARAM Vk) {
  bool Shift = KeyDown(VK_SHIFT);
  bool Ctrl = KeyDown(VK_CONTROL);
  switch (static_cast<int>(Vk)) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
      bool Back = Vk == VK_LEFT || Vk == VK_UP;
      bool Vertical = (Vk == VK_UP || Vk == VK_DOWN) && Multi();
      if (!Shift && Anchor != Caret && !Vertical && !Ctrl) {
        MoveCaret(Back ? SelMin() : SelMax(), false);
        break;
      }
      if (Vertical) {
        int Li = LineOf(Caret) + (Back ? -1 : 1);
        if (Li < 0 || Li >= LineCount()) break;
        POINT P = PosFromChar(Caret);
        int Target = CharFromPoint(P.x, static_cast<int>(Fmt.top) + (Li - FirstLine) * LineHeight);
        MoveCaret(Target, Shift);
      } else if (Ctrl) {
        MoveCaret(Back ? WordLeft(Caret) : WordRight(Caret), Shift);
      } else {
        MoveCaret(Back ? PrevPos(Caret) : NextPos(Caret), Shift);
      }
      break;
    }
    case VK_HOME: MoveCaret(Ctrl ? 0 : Lines[static_cast<size_t>(LineOf(Caret))].Start, Shift); break;
    case VK_END: MoveCaret(Ctrl ? Length() : LineEndPos(LineOf(Caret)), Shift); break;
    case VK_PRIOR:
    case VK_NEXT: {
      if (!Multi()) break;
      int Delta = (Vk == VK_PRIOR ? -1 : 1) * VisibleLines();
      POINT P = PosFromChar(Caret);
      int Li = std::clamp(LineOf(Caret) + Delta, 0, LineCount() - 1);
      SetFirstLine(FirstLine + Delta);
      MoveCaret(CharFromPoint(P.x, static_cast<int>(Fmt.top) + (Li - FirstLine) * LineHeight), Shift);
      break;
    }
    case VK_DELETE:
      if (Shift) {
        SendMessageA(Wnd, WM_CUT, 0, 0);
      } else if (ReadOnly()) {
        MessageBeep(0);
      } else if (Anchor != Caret) {
        ReplaceSel(String(), true, false);
      } else if (Caret < Length()) {
        DeleteRange(Caret, Ctrl ? WordRight(Caret) : NextPos(Caret));
      }
      break;
    case VK_INSERT:
      if (Shift) SendMessageA(Wnd, WM_PASTE, 0, 0);
      else if (Ctrl) SendMessageA(Wnd, WM_COPY, 0, 0);
      break;
    default: break;
  }
}

void TEditControl::TypeText(String S) {
  DWORD Style = GetStyle();
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  if ((Style & ES_NUMBER) && !(S.size() == 1 && S[0] >= '0' && S[0] <= '9')) {
    MessageBeep(0);
    return;
  }
  if (Style & ES_UPPERCASE) S = UpperCase(S);
  else if (Style & ES_LOWERCASE) S = LowerCase(S);
  if (!ReplaceSel(S, true, true)) MessageBeep(0);
}

void TEditControl::CharMsg(WPARAM Ch) {
  auto B = static_cast<unsigned char>(Ch & 0xFF);
  // Characters beyond ASCII come as their UTF-8 bytes one after another.
  if (B >= 0x80) {
    if (!PendingChar.empty() && (B & 0xC0) == 0x80) {
      PendingChar.push_back(static_cast<char>(B));
      if (PendingChar.size() >= PendingNeed) {
        String S;
        S.swap(PendingChar);
        TypeText(S);
      }
      return;
    }
    PendingChar.clear();
    int Need = Utf8SequenceLength(B);
    if (Need > 1) {
      PendingChar.push_back(static_cast<char>(B));
      PendingNeed = static_cast<size_t>(Need);
      return;
    }
    TypeText(String(1, static_cast<char>(B)));
    return;
  }
  PendingChar.clear();
  switch (B) {
    case 1:  // Ctrl+A
      Anchor = 0;
      MoveCaret(Length(), true);
      Invalidate();
      return;
    // The clipboard and undo shortcuts go through the messages, so that a subclass that
    // filters WM_PASTE and the rest sees them as well.
    case 3: SendMessageA(Wnd, WM_COPY, 0, 0); return;    // Ctrl+C
    case 22: SendMessageA(Wnd, WM_PASTE, 0, 0); return;  // Ctrl+V
    case 24: SendMessageA(Wnd, WM_CUT, 0, 0); return;    // Ctrl+X
    case 26: SendMessageA(Wnd, WM_UNDO, 0, 0); return;   // Ctrl+Z
    case 8: {  // Backspace
      if (ReadOnly()) {
        MessageBeep(0);
        return;
      }
      if (Anchor != Caret) ReplaceSel(String(), true, false);
      else if (Caret > 0) DeleteRange(PrevPos(Caret), Caret);
      return;
    }
    case 13:
    case 10:
      if (Multi()) {
        if (ReadOnly()) MessageBeep(0);
        else if (!ReplaceSel("\r\n", true, true)) MessageBeep(0);
      }
      return;
    case 9:
      if (Multi()) TypeText("\t");
      return;
    default:
      if (B < 32 || B == 127) return;
      TypeText(String(1, static_cast<char>(B)));
      return;
  }
}

HBRUSH TEditControl::QueryBrush(HDC DC) {
  bool Static = ReadOnly() || !IsWindowEnabled(Wnd);
  HWND Parent = GetParent(Wnd);
  HBRUSH Brush = nullptr;
  if (Parent)
    Brush = reinterpret_cast<HBRUSH>(SendMessageA(Parent, Static ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                  reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(Wnd)));
  if (!Brush) {
    int Back = Static ? COLOR_BTNFACE : COLOR_WINDOW;
    SetBkColor(DC, GetSysColor(Back));
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    Brush = GetSysColorBrush(Back);
  }
  return Brush;
}

String TEditControl::DisplayRun(int Start, int Len) const {
  if (Len <= 0) return String();
  if (!Password()) return Text.substr(static_cast<size_t>(Start), static_cast<size_t>(Len));
  size_t Count = TextCodec::Decode(Text.data() + Start, static_cast<size_t>(Len)).size();
  return String(Count, PasswordChar);
}

void TEditControl::Paint(HDC DC) {
  QueryBrush(DC);
  if (!IsWindowEnabled(Wnd)) SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
  int Saved = SaveDC(DC);
  SelectObject(DC, Font ? static_cast<HGDIOBJ>(Font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT Client{};
  GetClientRect(Wnd, &Client);
  RECT Clip{};
  IntersectRect(&Clip, &Client, &Fmt);
  IntersectClipRect(DC, Clip.left, Clip.top, Clip.right, Clip.bottom);
  bool ShowSel = Anchor != Caret && (Focused || (GetStyle() & ES_NOHIDESEL));
  int SelA = SelMin(), SelB = SelMax();
  int Last = Multi() ? std::min(LineCount() - 1, FirstLine + VisibleLines()) : 0;
  for (int Li = Multi() ? FirstLine : 0; Li <= Last; ++Li) {
    const TEditLine& L = Lines[static_cast<size_t>(Li)];
    int Y = static_cast<int>(Fmt.top) + (Li - (Multi() ? FirstLine : 0)) * LineHeight;
    TMeasure M = Measure(L.Start, L.Len);
    int X0 = static_cast<int>(Fmt.left) + LineX(Li) - XOffset;
    int A = ShowSel ? std::clamp(SelA - L.Start, 0, L.Len) : L.Len;
    int B = ShowSel ? std::clamp(SelB - L.Start, 0, L.Len) : L.Len;
    String Before = DisplayRun(L.Start, A);
    if (!Before.empty()) TextOutA(DC, X0, Y, Before.c_str(), static_cast<int>(Before.size()));
    if (B > A) {
      String Sel = DisplayRun(L.Start + A, B - A);
      int OldMode = SetBkMode(DC, OPAQUE);
      COLORREF OldBk = SetBkColor(DC, GetSysColor(COLOR_HIGHLIGHT));
      COLORREF OldText = SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
      TextOutA(DC, X0 + M.X[static_cast<size_t>(A)], Y, Sel.c_str(), static_cast<int>(Sel.size()));
      SetBkMode(DC, OldMode);
      SetBkColor(DC, OldBk);
      SetTextColor(DC, OldText);
    }
    String After = DisplayRun(L.Start + B, L.Len - B);
    if (!After.empty()) TextOutA(DC, X0 + M.X[static_cast<size_t>(B)], Y, After.c_str(), static_cast<int>(After.size()));
  }
  RestoreDC(DC, Saved);
}

LRESULT TEditControl::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_CREATE: {
      auto* Cs = reinterpret_cast<const CREATESTRUCTA*>(LParam);
      ResetFormatRect();
      Text = Cs && Cs->lpszName ? Cs->lpszName : "";
      Layout();
      UpdateScrollInfo();
      return 0;
    }
    case WM_SETTEXT:
      SetText(reinterpret_cast<const char*>(LParam));
      return TRUE;
    case WM_GETTEXT: {
      auto* Buffer = reinterpret_cast<char*>(LParam);
      if (!Buffer || WParam == 0) return 0;
      size_t N = std::min(Text.size(), static_cast<size_t>(WParam) - 1);
      std::memcpy(Buffer, Text.data(), N);
      Buffer[N] = 0;
      return static_cast<LRESULT>(N);
    }
    case WM_GETTEXTLENGTH: return Length();
    case WM_SETFONT:
      ApplyFont(reinterpret_cast<HFONT>(WParam));
      Layout();
      if (Focused) {
        CreateCaret(Wnd, nullptr, 1, LineHeight);
        ShowCaret(Wnd);
      }
      ScrollCaretIntoView();
      if (LParam) Invalidate();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(Font);
    case WM_SIZE:
      ResetFormatRect();
      Layout();
      ScrollCaretIntoView();
      Invalidate();
      return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
      Layout();
      Invalidate();
      return 0;
    case WM_PAINT: {
      auto DC = reinterpret_cast<HDC>(WParam);
      PAINTSTRUCT Ps{};
      if (!DC) DC = BeginPaint(Wnd, &Ps);
      if (Focused) HideCaret(Wnd);
      Paint(DC);
      if (Focused) ShowCaret(Wnd);
      if (!WParam) EndPaint(Wnd, &Ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      // The text into the given DC, as a paint draws it (the DC's state kept).
      if (auto DC = reinterpret_cast<HDC>(WParam)) {
        int Saved = SaveDC(DC);
        Paint(DC);
        RestoreDC(DC, Saved);
      }
      return 0;
    case WM_ERASEBKGND: {
      auto DC = reinterpret_cast<HDC>(WParam);
      HBRUSH Brush = QueryBrush(DC);
      if (Brush != static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))) {
        RECT R{};
        GetClientRect(Wnd, &R);
        FillRect(DC, &R, Brush);
      }
      return 1;
    }
    case WM_SETFOCUS:
      Focused = true;
      CreateCaret(Wnd, nullptr, 1, LineHeight);
      UpdateCaret();
      ShowCaret(Wnd);
      if (Anchor != Caret) Invalidate();
      Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Focused = false;
      Selecting = false;
      DestroyCaret();
      if (Anchor != Caret && !(GetStyle() & ES_NOHIDESEL)) Invalidate();
      Notify(EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != Wnd) SetFocus(Wnd);
      int Pos = CharFromPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
      MoveCaret(Pos, (WParam & MK_SHIFT) != 0);
      Selecting = true;
      SetCapture(Wnd);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      int Pos = CharFromPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
      int A = Pos, B = Pos;
      auto IsWord = [this](int I) { char C = Text[static_cast<size_t>(I)]; return C != ' ' && C != '\t' && C != '\r' && C != '\n'; };
      while (A > 0 && IsWord(A - 1)) --A;
      while (B < Length() && IsWord(B)) ++B;
      Anchor = Snap(A);
      MoveCaret(Snap(B), true);
      Invalidate();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (Selecting && GetCapture() == Wnd)
        MoveCaret(CharFromPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)), true);
      return 0;
    case WM_LBUTTONUP:
      if (Selecting) {
        Selecting = false;
        if (GetCapture() == Wnd) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: Selecting = false; return 0;
    case WM_KEYDOWN: KeyDownMsg(WParam); return 0;
    case WM_CHAR: CharMsg(WParam); return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (Multi() ? DLGC_WANTALLKEYS : 0);
    case WM_CONTEXTMENU: return 0;
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: return Undo() ? TRUE : FALSE;
    case WM_VSCROLL:
      if (Multi()) VScroll(LOWORD(WParam), static_cast<SHORT>(HIWORD(WParam)));
      return 0;
    case WM_HSCROLL:
      if (!Wrap()) HScroll(LOWORD(WParam), static_cast<SHORT>(HIWORD(WParam)));
      return 0;
    case WM_MOUSEWHEEL: {
      if (!Multi()) return DefWindowProcA(Wnd, Msg, WParam, LParam);
      int Delta = GET_WHEEL_DELTA_WPARAM(WParam);
      SetFirstLine(FirstLine - Delta * kWheelLines / WHEEL_DELTA);
      return 0;
    }
    case EM_GETSEL: {
      int A = SelMin(), B = SelMax();
      if (WParam) *reinterpret_cast<DWORD*>(WParam) = static_cast<DWORD>(A);
      if (LParam) *reinterpret_cast<DWORD*>(LParam) = static_cast<DWORD>(B);
      if (A > 0xFFFF || B > 0xFFFF) return -1;
      return MAKELRESULT(static_cast<WORD>(A), static_cast<WORD>(B));
    }
    case EM_SETSEL: {
      int Start = static_cast<int>(static_cast<INT_PTR>(WParam));
      int End = static_cast<int>(LParam);
      if (Start == -1) {
        Anchor = Caret;
      } else {
        if (End < 0 || End > Length()) End = Length();
        Start = std::clamp(Start, 0, Length());
        Anchor = Snap(Start);
        Caret = Snap(End);
      }
      TypingRun = false;
      UpdateCaret();
      Invalidate();
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSel(LParam ? reinterpret_cast<const char*>(LParam) : "", WParam != 0, false);
      return 0;
    case EM_SCROLLCARET:
      ScrollCaretIntoView();
      Invalidate();
      return TRUE;
    case EM_GETLINECOUNT: return LineCount();
    case EM_LINEINDEX: {
      int L = static_cast<int>(static_cast<INT_PTR>(WParam));
      if (L == -1) L = LineOf(Caret);
      if (L < 0 || L >= LineCount()) return -1;
      return Lines[static_cast<size_t>(L)].Start;
    }
    case EM_LINELENGTH: {
      int Pos = static_cast<int>(static_cast<INT_PTR>(WParam));
      if (Pos == -1) {
        // The characters not selected on the lines the selection touches.
        const TEditLine& La = Lines[static_cast<size_t>(LineOf(SelMin()))];
        const TEditLine& Lb = Lines[static_cast<size_t>(LineOf(SelMax()))];
        return (SelMin() - La.Start) + std::max(0, Lb.Start + Lb.Len - SelMax());
      }
      if (Pos < 0 || Pos > Length()) return 0;
      return Lines[static_cast<size_t>(LineOf(Pos))].Len;
    }
    case EM_LINEFROMCHAR: {
      int Pos = static_cast<int>(static_cast<INT_PTR>(WParam));
      if (Pos == -1) Pos = Anchor != Caret ? SelMin() : Caret;
      return LineOf(std::clamp(Pos, 0, Length()));
    }
    case EM_GETLINE: {
      auto* Buffer = reinterpret_cast<char*>(LParam);
      if (!Buffer) return 0;
      WORD Max = 0;
      std::memcpy(&Max, Buffer, sizeof(Max));
      int L = Multi() ? static_cast<int>(WParam) : 0;
      if (L < 0 || L >= LineCount()) return 0;
      const TEditLine& Line = Lines[static_cast<size_t>(L)];
      int N = std::min<int>(Line.Len, Max);
      if (N > 0) std::memcpy(Buffer, Text.data() + Line.Start, static_cast<size_t>(N));
      return N;
    }
    case EM_GETFIRSTVISIBLELINE: {
      if (Multi()) return FirstLine;
      TMeasure M = Measure(0, Length());
      for (int I = 0; I <= Length(); ++I)
        if (M.Boundary[static_cast<size_t>(I)] && M.X[static_cast<size_t>(I)] >= XOffset) return I;
      return Length();
    }
    case EM_LINESCROLL:
      if (!Multi()) return FALSE;
      if (!Wrap()) SetXOffset(XOffset + static_cast<int>(static_cast<INT_PTR>(WParam)) * AveCharWidth);
      SetFirstLine(FirstLine + static_cast<int>(LParam));
      return TRUE;
    case EM_SCROLL: {
      if (!Multi() || WParam > SB_PAGEDOWN) return FALSE;
      int Moved = VScroll(static_cast<WORD>(WParam), 0);
      return MAKELRESULT(static_cast<WORD>(static_cast<SHORT>(Moved)), TRUE);
    }
    case EM_GETTHUMB: return FirstLine;
    case EM_POSFROMCHAR: {
      int Pos = static_cast<int>(static_cast<INT_PTR>(WParam));
      if (Pos < 0 || Pos > Length()) return -1;
      POINT P = PosFromChar(Pos);
      return MAKELRESULT(static_cast<WORD>(static_cast<SHORT>(P.x)), static_cast<WORD>(static_cast<SHORT>(P.y)));
    }
    case EM_CHARFROMPOS: {
      int Pos = CharFromPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
      return MAKELRESULT(static_cast<WORD>(Pos), static_cast<WORD>(Multi() ? LineOf(Pos) : 0));
    }
    case EM_GETRECT:
      if (LParam) *reinterpret_cast<RECT*>(LParam) = Fmt;
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP: {
      if (!Multi()) return 0;
      auto* R = reinterpret_cast<const RECT*>(LParam);
      RECT Old = Fmt;
      if (!R) {
        ResetFormatRect();
      } else if (WParam == 1) {
        Fmt.left += R->left;
        Fmt.top += R->top;
        Fmt.right += R->right;
        Fmt.bottom += R->bottom;
      } else {
        Fmt = *R;
      }
      if (Fmt.right < Fmt.left) Fmt.right = Fmt.left;
      if (Fmt.bottom < Fmt.top) Fmt.bottom = Fmt.top;
      // The same rectangle again changes nothing (a control that sets it while painting its
      // background must not start another paint).
      if (Fmt == Old) return 0;
      Layout();
      ScrollCaretIntoView();
      if (Msg == EM_SETRECT) Invalidate();
      return 0;
    }
    case EM_SETMARGINS: {
      if (WParam == EC_USEFONTINFO) {
        LeftMargin = RightMargin = AveCharWidth / 2;
      } else {
        if (WParam & EC_LEFTMARGIN) LeftMargin = LOWORD(static_cast<std::uintptr_t>(LParam));
        if (WParam & EC_RIGHTMARGIN) RightMargin = HIWORD(static_cast<std::uintptr_t>(LParam));
      }
      ResetFormatRect();
      Layout();
      ScrollCaretIntoView();
      Invalidate();
      return 0;
    }
    case EM_GETMARGINS: return MAKELRESULT(static_cast<WORD>(LeftMargin), static_cast<WORD>(RightMargin));
    case EM_LIMITTEXT: {
      auto Value = static_cast<long long>(WParam);
      Limit = (Value <= 0 || Value > kMaxLimit) ? kMaxLimit : static_cast<int>(Value);
      return 0;
    }
    case EM_GETLIMITTEXT: return Limit;
    case EM_SETREADONLY:
      SetStyleBit(ES_READONLY, WParam != 0);
      Invalidate();
      return TRUE;
    case EM_SETPASSWORDCHAR:
      if (Multi()) return 0;
      if (WParam) PasswordChar = static_cast<char>(WParam);
      SetStyleBit(ES_PASSWORD, WParam != 0);
      Layout();
      ScrollCaretIntoView();
      Invalidate();
      return 0;
    case EM_GETPASSWORDCHAR: return Password() ? static_cast<unsigned char>(PasswordChar) : 0;
    case EM_CANUNDO: return CanUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: EmptyUndo(); return 0;
    case EM_GETMODIFY: return Modified ? TRUE : FALSE;
    case EM_SETMODIFY: Modified = WParam != 0; return 0;
    case EM_FMTLINES:
    case EM_SETTABSTOPS:
    case EM_GETHANDLE:
    case EM_SETHANDLE:
    case EM_SETWORDBREAKPROC:
    case EM_GETWORDBREAKPROC: return 0;
    default: return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

std::unordered_map<HWND, std::shared_ptr<TEditControl>>& Edits() {
  static std::unordered_map<HWND, std::shared_ptr<TEditControl>> Map;
  return Map;
}

}  // namespace

LRESULT EditWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto& Map = Edits();
  auto It = Map.find(Wnd);
  if (Msg == WM_NCDESTROY) {
    if (It != Map.end()) Map.erase(It);
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  // A new window never inherits the state of an earlier one with the same handle.
  if (Msg == WM_NCCREATE && It != Map.end()) {
    Map.erase(It);
    It = Map.end();
  }
  if (It == Map.end()) {
    if (!IsWindow(Wnd)) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    It = Map.emplace(Wnd, std::make_shared<TEditControl>(Wnd)).first;
  }
  // Kept alive while it handles the message: a notification may destroy the window.
  std::shared_ptr<TEditControl> Edit = It->second;
  return Edit->Handle(Msg, WParam, LParam);
}

bool RegisterEditClass() {
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, "EDIT", &Existing)) return true;
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_GLOBALCLASS;
  Class.lpfnWndProc = EditWndProc;
  Class.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  Class.lpszClassName = "EDIT";
  return RegisterClassA(&Class) != 0;
}
