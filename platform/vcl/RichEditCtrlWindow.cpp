// The "RICHEDIT20A" window class as this system needs it: a read-only view of formatted text.
// It takes plain text or a small subset of RTF (paragraphs and line breaks, bold, italic,
// underline, font size, colours from the colour table, paragraph alignment, escaped and hex
// characters; other groups and control words are skipped), wraps it to the window width and
// scrolls vertically (and horizontally without wrapping) in pixels.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <tuple>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/RichEditCtrl.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/vcl/ViewCtrlsConsts.h"
#include "platform/vcl/ViewCtrlsShared.h"

namespace {

struct TFmt {
  bool Bold = false, Italic = false, Underline = false;
  int HalfPoints = 0;              // 0 = the window font's size
  COLORREF Color = CLR_INVALID;    // the default colour
  bool operator<(const TFmt& O) const {
    return std::tie(Bold, Italic, Underline, HalfPoints, Color) <
           std::tie(O.Bold, O.Italic, O.Underline, O.HalfPoints, O.Color);
  }
};

struct TRun {
  String Text;
  TFmt Fmt;
};

struct TPara {
  int Align = 0;  // 0 left, 1 centre, 2 right
  std::vector<TRun> Runs;
};

struct TPiece {
  int X = 0;
  String Text;
  TFmt Fmt;
};

struct TLine {
  int Y = 0, Height = 0, Ascent = 0, Width = 0;
  std::vector<TPiece> Pieces;
};

struct TRichState {
  std::vector<TPara> Doc{TPara{}};
  std::vector<TLine> Lines;
  int ContentHeight = 0, ContentWidth = 0;
  int ScrollY = 0, ScrollX = 0;
  HFONT Font = nullptr;
  std::map<TFmt, HFONT> Fonts;
  COLORREF Back = CLR_INVALID, Text = CLR_INVALID;
  bool Dirty = true;
  int LaidWidth = -1;
  int WheelRest = 0;  // wheel turns not yet scrolled
};

std::map<HWND, std::unique_ptr<TRichState>>& States() {
  static std::map<HWND, std::unique_ptr<TRichState>> Map;
  return Map;
}

TRichState& StateOf(HWND Wnd) {
  auto& P = States()[Wnd];
  if (!P) P = std::make_unique<TRichState>();
  return *P;
}

void FreeFonts(TRichState& S) {
  for (auto& [F, H] : S.Fonts) DeleteObject(H);
  S.Fonts.clear();
}

HFONT FontFor(TRichState& S, const TFmt& F) {
  auto It = S.Fonts.find(F);
  if (It != S.Fonts.end()) return It->second;
  LOGFONTA LF{};
  if (S.Font) GetObjectA(S.Font, sizeof LF, &LF);
  else GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof LF, &LF);
  if (F.HalfPoints > 0) LF.lfHeight = -(F.HalfPoints * 96 + 72) / 144;
  if (F.Bold) LF.lfWeight = FW_BOLD;
  if (F.Italic) LF.lfItalic = 1;
  if (F.Underline) LF.lfUnderline = 1;
  HFONT H = CreateFontIndirectA(&LF);
  S.Fonts[F] = H;
  return H;
}

// --- RTF reading -------------------------------------------------------------------------------

class TRtfReader {
public:
  explicit TRtfReader(const String& Source) : Src(Source) {}

  std::vector<TPara> Read() {
    Doc.assign(1, TPara{});
    struct TGroup {
      TFmt Fmt;
      bool Skip;
      int Align;
    };
    std::vector<TGroup> Stack;
    TFmt Fmt;
    bool Skip = false;
    int Align = 0;
    bool InColorTable = false;
    int Red = 0, Green = 0, Blue = 0;
    size_t P = 0;
    while (P < Src.size()) {
      char C = Src[P];
      if (C == '{') {
        Stack.push_back({Fmt, Skip, Align});
        ++P;
        continue;
      }
      if (C == '}') {
        if (InColorTable && Stack.size() <= ColorTableDepth) InColorTable = false;
        if (!Stack.empty()) {
          Fmt = Stack.back().Fmt;
          Skip = Stack.back().Skip;
          Align = Stack.back().Align;
          Stack.pop_back();
        }
        ++P;
        continue;
      }
      if (C == '\r' || C == '\n') {
        ++P;
        continue;
      }
      if (C != '\\') {
        if (InColorTable && C == ';') {
          Colors.push_back(RGB(Red, Green, Blue));
          Red = Green = Blue = 0;
        } else if (!Skip && !InColorTable) {
          Emit(String(1, C), Fmt, Align);
        }
        ++P;
        continue;
      }
      // A control symbol or word.
      ++P;
      if (P >= Src.size()) break;
      char N = Src[P];
      if (N == '\\' || N == '{' || N == '}') {
        if (!Skip) Emit(String(1, N), Fmt, Align);
        ++P;
        continue;
      }
      if (N == '\'') {
        int V = 0;
        if (P + 2 < Src.size() + 0 && std::isxdigit(static_cast<unsigned char>(Src[P + 1])) &&
            std::isxdigit(static_cast<unsigned char>(Src[P + 2]))) {
          V = std::stoi(Src.substr(P + 1, 2), nullptr, 16);
          P += 3;
          if (!Skip) Emit(String(1, static_cast<char>(V)), Fmt, Align);
        } else {
          ++P;
        }
        continue;
      }
      if (N == '*') {
        Skip = true;
        ++P;
        continue;
      }
      if (!std::isalpha(static_cast<unsigned char>(N))) {
        if (N == '~' && !Skip) Emit(" ", Fmt, Align);
        if (N == '-' || N == '_') {
          if (!Skip && N == '_') Emit("-", Fmt, Align);
        }
        ++P;
        continue;
      }
      size_t Start = P;
      while (P < Src.size() && std::isalpha(static_cast<unsigned char>(Src[P]))) ++P;
      String Word = Src.substr(Start, P - Start);
      bool HasArg = false;
      int Arg = 0;
      size_t NumStart = P;
      if (P < Src.size() && (Src[P] == '-' || std::isdigit(static_cast<unsigned char>(Src[P])))) {
        ++P;
        while (P < Src.size() && std::isdigit(static_cast<unsigned char>(Src[P]))) ++P;
        String Num = Src.substr(NumStart, P - NumStart);
        if (Num != "-" && Num.size() < 10) {
          Arg = std::stoi(Num);
          HasArg = true;
        }
      }
      if (P < Src.size() && Src[P] == ' ') ++P;  // the delimiter belongs to the word
      bool On = !HasArg || Arg != 0;
      if (Word == "colortbl") {
        InColorTable = true;
        ColorTableDepth = Stack.size();
        Colors.clear();
      } else if (InColorTable) {
        if (Word == "red") Red = Arg;
        else if (Word == "green") Green = Arg;
        else if (Word == "blue") Blue = Arg;
      } else if (Word == "fonttbl" || Word == "stylesheet" || Word == "info" || Word == "pict" ||
                 Word == "header" || Word == "footer" || Word == "object" || Word == "filetbl" ||
                 Word == "listtable" || Word == "listoverridetable" || Word == "rsidtbl" || Word == "generator" ||
                 Word == "themedata" || Word == "colorschememapping" || Word == "latentstyles" ||
                 Word == "datastore" || Word == "xmlnstbl" || Word == "pntext" || Word == "pntxta" ||
                 Word == "pntxtb" || Word == "fldinst") {
        Skip = true;
      } else if (Skip) {
        // inside a skipped destination
      } else if (Word == "par" || Word == "sect") {
        Doc.back().Align = Align;
        Doc.push_back(TPara{});
      } else if (Word == "line") {
        Doc.back().Align = Align;
        Doc.push_back(TPara{});
        Doc.back().Align = Align;
      } else if (Word == "tab") {
        Emit("    ", Fmt, Align);
      } else if (Word == "b") {
        Fmt.Bold = On;
      } else if (Word == "i") {
        Fmt.Italic = On;
      } else if (Word == "ul") {
        Fmt.Underline = On;
      } else if (Word == "ulnone") {
        Fmt.Underline = false;
      } else if (Word == "fs") {
        Fmt.HalfPoints = HasArg && Arg > 0 && Arg < 2000 ? Arg : 0;
      } else if (Word == "cf") {
        Fmt.Color = HasArg && Arg > 0 && Arg < static_cast<int>(Colors.size()) ? Colors[static_cast<size_t>(Arg)]
                                                                              : CLR_INVALID;
      } else if (Word == "plain") {
        Fmt = TFmt{};
      } else if (Word == "pard") {
        Align = 0;
      } else if (Word == "qc") {
        Align = 1;
      } else if (Word == "qr") {
        Align = 2;
      } else if (Word == "ql" || Word == "qj") {
        Align = 0;
      } else if (Word == "u") {
        // A Unicode character: shown as its cp1252 byte when there is one, else '?'; the
        // replacement character that follows is skipped.
        int Code = Arg < 0 ? Arg + 65536 : Arg;
        Emit(String(1, Code < 256 ? static_cast<char>(Code) : '?'), Fmt, Align);
        if (P < Src.size() && Src[P] != '\\' && Src[P] != '{' && Src[P] != '}') ++P;
        else if (P + 3 < Src.size() && Src[P] == '\\' && Src[P + 1] == '\'') P += 4;
      } else if (Word == "emdash") {
        Emit("\x97", Fmt, Align);
      } else if (Word == "endash") {
        Emit("\x96", Fmt, Align);
      } else if (Word == "bullet") {
        Emit("\x95", Fmt, Align);
      } else if (Word == "lquote") {
        Emit("\x91", Fmt, Align);
      } else if (Word == "rquote") {
        Emit("\x92", Fmt, Align);
      } else if (Word == "ldblquote") {
        Emit("\x93", Fmt, Align);
      } else if (Word == "rdblquote") {
        Emit("\x94", Fmt, Align);
      }
    }
    // A trailing \par leaves an empty last paragraph, as the rich edit shows it.
    if (Doc.size() > 1 && Doc.back().Runs.empty()) Doc.pop_back();
    return Doc;
  }

private:
  void Emit(const String& Text, const TFmt& Fmt, int Align) {
    TPara& P = Doc.back();
    P.Align = Align;
    if (!P.Runs.empty() && !(P.Runs.back().Fmt < Fmt) && !(Fmt < P.Runs.back().Fmt))
      P.Runs.back().Text += Text;
    else
      P.Runs.push_back({Text, Fmt});
  }

  const String& Src;
  std::vector<TPara> Doc;
  std::vector<COLORREF> Colors{CLR_INVALID};
  size_t ColorTableDepth = 0;
};

bool IsRtf(const String& S) { return S.compare(0, 5, "{\\rtf") == 0; }

std::vector<TPara> ReadPlain(const String& S) {
  std::vector<TPara> Doc(1);
  String Cur;
  auto Flush = [&] {
    if (!Cur.empty()) Doc.back().Runs.push_back({Cur, TFmt{}});
    Cur.clear();
  };
  for (size_t I = 0; I < S.size(); ++I) {
    char C = S[I];
    if (C == '\r' || C == '\n') {
      Flush();
      if (C == '\r' && I + 1 < S.size() && S[I + 1] == '\n') ++I;
      Doc.push_back(TPara{});
    } else if (C == '\t') {
      Cur += "    ";
    } else {
      Cur += C;
    }
  }
  Flush();
  return Doc;
}

String PlainText(const TRichState& S) {
  String Result;
  for (size_t I = 0; I < S.Doc.size(); ++I) {
    if (I) Result += "\r\n";
    for (const TRun& R : S.Doc[I].Runs) Result += R.Text;
  }
  return Result;
}

// --- layout and painting -----------------------------------------------------------------------

void Layout(HWND Wnd, TRichState& S) {
  RECT C{};
  GetClientRect(Wnd, &C);
  bool Wrap = !(GetWindowLongA(Wnd, GWL_STYLE) & ES_AUTOHSCROLL);
  int Avail = std::max(1, static_cast<int>(C.right) - 4);
  if (!S.Dirty && S.LaidWidth == (Wrap ? Avail : -2)) return;
  S.Dirty = false;
  S.LaidWidth = Wrap ? Avail : -2;
  S.Lines.clear();
  HDC DC = GetDC(nullptr);
  int Y = 0;
  S.ContentWidth = 0;
  for (const TPara& P : S.Doc) {
    TLine Line;
    auto Metrics = [&](const TFmt& F, int& H, int& A) {
      SelectObject(DC, FontFor(S, F));
      TEXTMETRICA TM{};
      GetTextMetricsA(DC, &TM);
      H = TM.tmHeight;
      A = TM.tmAscent;
    };
    auto Finish = [&] {
      if (Line.Height == 0) Metrics(P.Runs.empty() ? TFmt{} : P.Runs.front().Fmt, Line.Height, Line.Ascent);
      int Shift = P.Align == 1 ? (Avail - Line.Width) / 2 : P.Align == 2 ? Avail - Line.Width : 0;
      if (Wrap && Shift > 0)
        for (TPiece& Pc : Line.Pieces) Pc.X += Shift;
      Line.Y = Y;
      Y += Line.Height;
      S.ContentWidth = std::max(S.ContentWidth, Line.Width);
      S.Lines.push_back(std::move(Line));
      Line = TLine{};
    };
    for (const TRun& R : P.Runs) {
      int H = 0, A = 0;
      Metrics(R.Fmt, H, A);
      // Words with their trailing blanks.
      size_t I = 0;
      while (I < R.Text.size()) {
        size_t J = I;
        while (J < R.Text.size() && R.Text[J] != ' ') ++J;
        while (J < R.Text.size() && R.Text[J] == ' ') ++J;
        String Word = R.Text.substr(I, J - I);
        SIZE Sz{};
        GetTextExtentPoint32A(DC, Word.c_str(), static_cast<int>(Word.size()), &Sz);
        String Trimmed = Word;
        while (!Trimmed.empty() && Trimmed.back() == ' ') Trimmed.pop_back();
        SIZE TrimSz{};
        if (!Trimmed.empty()) GetTextExtentPoint32A(DC, Trimmed.c_str(), static_cast<int>(Trimmed.size()), &TrimSz);
        if (Wrap && !Line.Pieces.empty() && Line.Width + TrimSz.cx > Avail) Finish();
        if (!Line.Pieces.empty() && !(Line.Pieces.back().Fmt < R.Fmt) && !(R.Fmt < Line.Pieces.back().Fmt))
          Line.Pieces.back().Text += Word;
        else
          Line.Pieces.push_back({Line.Width, Word, R.Fmt});
        Line.Width += Sz.cx;
        Line.Height = std::max(Line.Height, H);
        Line.Ascent = std::max(Line.Ascent, A);
        I = J;
      }
    }
    Finish();
  }
  ReleaseDC(nullptr, DC);
  S.ContentHeight = Y;
}

void UpdateScroll(HWND Wnd, TRichState& S) {
  Layout(Wnd, S);
  RECT C{};
  GetClientRect(Wnd, &C);
  S.ScrollY = std::max(0, std::min(S.ScrollY, S.ContentHeight - static_cast<int>(C.bottom)));
  S.ScrollX = std::max(0, std::min(S.ScrollX, S.ContentWidth + 4 - static_cast<int>(C.right)));
  SCROLLINFO SI{};
  SI.cbSize = sizeof SI;
  SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  SI.nMin = 0;
  SI.nMax = std::max(0, S.ContentHeight - 1);
  SI.nPage = static_cast<UINT>(std::max<LONG>(C.bottom, 0));
  SI.nPos = S.ScrollY;
  SetScrollInfo(Wnd, SB_VERT, &SI, TRUE);
  SI.nMax = std::max(0, S.ContentWidth + 4 - 1);
  SI.nPage = static_cast<UINT>(std::max<LONG>(C.right, 0));
  SI.nPos = S.ScrollX;
  SetScrollInfo(Wnd, SB_HORZ, &SI, TRUE);
}

void Paint(HWND Wnd, HDC DC, TRichState& S) {
  Layout(Wnd, S);
  RECT C{};
  GetClientRect(Wnd, &C);
  HBRUSH Back = CreateSolidBrush(S.Back != CLR_INVALID ? S.Back : GetSysColor(COLOR_WINDOW));
  ::FillRect(DC, &C, Back);
  DeleteObject(Back);
  SetBkMode(DC, TRANSPARENT);
  COLORREF Default = S.Text != CLR_INVALID ? S.Text : GetSysColor(COLOR_WINDOWTEXT);
  if (!IsWindowEnabled(Wnd)) Default = GetSysColor(COLOR_GRAYTEXT);
  HGDIOBJ Old = SelectObject(DC, FontFor(S, TFmt{}));
  for (const TLine& L : S.Lines) {
    int Y = L.Y - S.ScrollY;
    if (Y + L.Height <= 0) continue;
    if (Y >= C.bottom) break;
    for (const TPiece& P : L.Pieces) {
      SelectObject(DC, FontFor(S, P.Fmt));
      TEXTMETRICA TM{};
      GetTextMetricsA(DC, &TM);
      SetTextColor(DC, P.Fmt.Color != CLR_INVALID && IsWindowEnabled(Wnd) ? P.Fmt.Color : Default);
      TextOutA(DC, 2 + P.X - S.ScrollX, Y + L.Ascent - TM.tmAscent, P.Text.c_str(), static_cast<int>(P.Text.size()));
    }
  }
  SelectObject(DC, Old);
}

void SetContent(HWND Wnd, TRichState& S, const String& Text, bool Rtf) {
  S.Doc = Rtf ? TRtfReader(Text).Read() : ReadPlain(Text);
  S.Dirty = true;
  S.ScrollX = S.ScrollY = 0;
  UpdateScroll(Wnd, S);
  InvalidateRect(Wnd, nullptr, TRUE);
}

int LineStep(TRichState& S) { return S.Lines.empty() ? 16 : std::max(1, S.Lines.front().Height); }

void ScrollTo(HWND Wnd, TRichState& S, int Y, int X) {
  int OldY = S.ScrollY, OldX = S.ScrollX;
  S.ScrollY = Y;
  S.ScrollX = X;
  UpdateScroll(Wnd, S);
  if (S.ScrollY != OldY || S.ScrollX != OldX) InvalidateRect(Wnd, nullptr, TRUE);
}

void NotifyChange(HWND Wnd) {
  HWND Parent = GetParent(Wnd);
  if (Parent)
    SendMessageA(Parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetWindowLongPtrA(Wnd, GWLP_ID)), EN_CHANGE),
                 reinterpret_cast<LPARAM>(Wnd));
}

LRESULT RichEditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCDESTROY) {
    auto It = States().find(Wnd);
    if (It != States().end()) {
      FreeFonts(*It->second);
      States().erase(It);
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  TRichState& S = StateOf(Wnd);
  switch (Msg) {
    case WM_SETTEXT: {
      String Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
      SetContent(Wnd, S, Text, IsRtf(Text));
      NotifyChange(Wnd);
      return TRUE;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(PlainText(S).size());
    case WM_GETTEXT: {
      auto* Buffer = reinterpret_cast<char*>(LParam);
      if (!Buffer || WParam == 0) return 0;
      String Text = PlainText(S);
      size_t N = std::min(Text.size(), static_cast<size_t>(WParam) - 1);
      std::memcpy(Buffer, Text.data(), N);
      Buffer[N] = '\0';
      return static_cast<LRESULT>(N);
    }
    case EM_STREAMIN: {
      auto* Stream = reinterpret_cast<EDITSTREAM*>(LParam);
      if (!Stream || !Stream->pfnCallback) return 0;
      String Data;
      BYTE Buffer[4096];
      for (;;) {
        LONG Got = 0;
        Stream->dwError = Stream->pfnCallback(Stream->dwCookie, Buffer, sizeof Buffer, &Got);
        if (Stream->dwError != 0 || Got <= 0) break;
        Data.append(reinterpret_cast<const char*>(Buffer), static_cast<size_t>(Got));
      }
      if (Stream->dwError != 0) return 0;
      // RTF is asked for but plain text came: shown as text, as the rich edit does.
      SetContent(Wnd, S, Data, (WParam & SF_RTF) && IsRtf(Data));
      NotifyChange(Wnd);
      return static_cast<LRESULT>(PlainText(S).size());
    }
    case EM_SETBKGNDCOLOR: {
      COLORREF Old = S.Back == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : S.Back;
      S.Back = WParam ? CLR_INVALID : static_cast<COLORREF>(LParam);
      InvalidateRect(Wnd, nullptr, TRUE);
      return static_cast<LRESULT>(Old);
    }
    case EM_SETCHARFORMAT: {
      auto* F = reinterpret_cast<const CHARFORMATA*>(LParam);
      if (F && (F->dwMask & CFM_COLOR)) S.Text = (F->dwEffects & CFE_AUTOCOLOR) ? CLR_INVALID : F->crTextColor;
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_GETLINECOUNT: Layout(Wnd, S); return static_cast<LRESULT>(std::max<size_t>(S.Lines.size(), 1));
    case EM_GETFIRSTVISIBLELINE: {
      Layout(Wnd, S);
      for (size_t I = 0; I < S.Lines.size(); ++I)
        if (S.Lines[I].Y + S.Lines[I].Height > S.ScrollY) return static_cast<LRESULT>(I);
      return 0;
    }
    case EM_LINESCROLL: {
      Layout(Wnd, S);
      int Lines = static_cast<int>(LParam);
      ScrollTo(Wnd, S, S.ScrollY + Lines * LineStep(S), S.ScrollX + static_cast<int>(WParam) * 8);
      return TRUE;
    }
    case EM_SETREADONLY: {
      LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
      SetWindowLongA(Wnd, GWL_STYLE, WParam ? (Style | static_cast<LONG>(ES_READONLY)) : (Style & ~static_cast<LONG>(ES_READONLY)));
      return TRUE;
    }
    case EM_EXLIMITTEXT:
    case EM_SETEVENTMASK:
    case EM_GETEVENTMASK: return 0;
    case WM_SETFONT:
      S.Font = reinterpret_cast<HFONT>(WParam);
      FreeFonts(S);
      S.Dirty = true;
      UpdateScroll(Wnd, S);
      if (LOWORD(LParam)) InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(S.Font);
    case WM_STYLECHANGED:
    case WM_SIZE:
      S.Dirty = true;
      UpdateScroll(Wnd, S);
      InvalidateRect(Wnd, nullptr, TRUE);
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_VSCROLL:
    case WM_HSCROLL: {
      bool V = Msg == WM_VSCROLL;
      RECT C{};
      GetClientRect(Wnd, &C);
      int Pos = V ? S.ScrollY : S.ScrollX;
      int Step = V ? LineStep(S) : 8;
      int Page = std::max(1, static_cast<int>(V ? C.bottom : C.right) - Step);
      switch (LOWORD(WParam)) {
        case SB_LINEUP: Pos -= Step; break;
        case SB_LINEDOWN: Pos += Step; break;
        case SB_PAGEUP: Pos -= Page; break;
        case SB_PAGEDOWN: Pos += Page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: Pos = ThumbPosition(Wnd, V ? SB_VERT : SB_HORZ, WParam); break;
        case SB_TOP: Pos = 0; break;
        case SB_BOTTOM: Pos = V ? S.ContentHeight : S.ContentWidth; break;
        default: return 0;
      }
      if (V) ScrollTo(Wnd, S, Pos, S.ScrollX);
      else ScrollTo(Wnd, S, S.ScrollY, Pos);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // By the system's lines per notch; text that fits leaves the wheel to the parent.
      Layout(Wnd, S);
      RECT C{};
      GetClientRect(Wnd, &C);
      if (S.ContentHeight <= C.bottom) {
        S.WheelRest = 0;
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
      }
      int Page = std::max(1, static_cast<int>(C.bottom) / LineStep(S));
      int Lines = WheelScrollLines(S.WheelRest, static_cast<short>(HIWORD(WParam)), Page);
      if (Lines) ScrollTo(Wnd, S, S.ScrollY - Lines * LineStep(S), S.ScrollX);
      return 0;
    }
    case WM_KEYDOWN: {
      RECT C{};
      GetClientRect(Wnd, &C);
      switch (WParam) {
        case VK_UP: ScrollTo(Wnd, S, S.ScrollY - LineStep(S), S.ScrollX); break;
        case VK_DOWN: ScrollTo(Wnd, S, S.ScrollY + LineStep(S), S.ScrollX); break;
        case VK_PRIOR: ScrollTo(Wnd, S, S.ScrollY - static_cast<int>(C.bottom), S.ScrollX); break;
        case VK_NEXT: ScrollTo(Wnd, S, S.ScrollY + static_cast<int>(C.bottom), S.ScrollX); break;
        case VK_HOME: ScrollTo(Wnd, S, 0, 0); break;
        case VK_END: ScrollTo(Wnd, S, S.ContentHeight, S.ScrollX); break;
        default: break;
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (GetFocus() != Wnd) SetFocus(Wnd);
      return 0;
    case WM_GETDLGCODE: return 0x0001 | 0x0008 | 0x0080;  // arrows, selection, characters
    case WM_CHAR: return 0;  // read-only
    case WM_PAINT: {
      auto DC = reinterpret_cast<HDC>(WParam);
      if (DC) {
        Paint(Wnd, DC, S);
        return 0;
      }
      PAINTSTRUCT PS{};
      DC = BeginPaint(Wnd, &PS);
      Paint(Wnd, DC, S);
      EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    default: break;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

void RegisterRichEditClass() {
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, RICHEDIT_CLASSA, &Existing)) return;
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_GLOBALCLASS;
  Class.lpfnWndProc = RichEditProc;
  Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Class.lpszClassName = RICHEDIT_CLASSA;
  RegisterClassA(&Class);
}
