#include <gtest/gtest.h>

#include "platform/rtl/Streams.h"
#include "platform/vcl/RichEditCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdRichEdit : public TVclWindowTest {
protected:
  TRichEdit* Edit = nullptr;
  TForm* MakeEdit(int W = 200, int H = 100) {
    TForm* F = NewForm(0, 0, 300, 200);
    F->HandleNeeded();
    Edit = Add<TRichEdit>(F, "Edit", 0, 0, W, H);
    Edit->SetBorderStyle(bsNone);
    Edit->SetScrollBars(ssVertical);
    Edit->SetReadOnly(true);
    Edit->HandleNeeded();
    return F;
  }
  std::vector<String> Lines() {
    std::vector<String> R;
    for (int I = 0; I < Edit->GetLines()->GetCount(); ++I) R.push_back(Edit->GetLines()->Get(I));
    return R;
  }
  SCROLLINFO Scroll() {
    SCROLLINFO SI{};
    SI.cbSize = sizeof SI;
    SI.fMask = SIF_ALL;
    GetScrollInfo(Edit->GetHandle(), SB_VERT, &SI);
    return SI;
  }
  // The whole window as the display last got it, read once.
  struct TSnapshot {
    std::vector<std::uint32_t> Pixels;
    int W = 0, H = 0;
    COLORREF At(int X, int Y) const {
      if (X < 0 || Y < 0 || X >= W || Y >= H) return CLR_INVALID;
      std::uint32_t P = Pixels[static_cast<size_t>(Y * W + X)];
      return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
    }
  };
  TSnapshot Snap(TForm* F) {
    TSnapshot S;
    Display()->ReadPixels(GetDisplayWindow(F->GetHandle()), S.Pixels, S.W, S.H);
    return S;
  }
  // Pixels of the edit (client coordinates) that are close to Colour.
  int CountColour(TForm* F, COLORREF Colour, int Y0, int Y1) {
    int N = 0;
    TSnapshot Shot = Snap(F);
    for (int Y = Y0; Y < Y1; ++Y)
      for (int X = 0; X < Edit->GetWidth(); ++X) {
        COLORREF P = Shot.At(X, Y);
        N += std::abs(GetRValue(P) - GetRValue(Colour)) < 60 && std::abs(GetGValue(P) - GetGValue(Colour)) < 60 &&
             std::abs(GetBValue(P) - GetBValue(Colour)) < 60;
      }
    return N;
  }
};

TEST_F(StdRichEdit, ReadsTheRtfSubsetAndPlainText) {
  MakeEdit(400, 100);
  struct TCase {
    const char* Name;
    const char* Source;
    bool PlainText;
    std::vector<String> Expected;
  } Cases[] = {
      {"paragraphs and styles",
       "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}\n"
       "\\pard\\b Title\\b0\\par\nSecond \\i line\\i0  with caf\\'e9\\par\\par Last\\par}",
       false,
       {"Title", "Second line with caf\xE9", "", "Last"}},
      {"escapes, line breaks, skipped destinations",
       "{\\rtf1{\\*\\generator Writer;}{\\info{\\title Hidden}}A \\{braces\\} and \\\\ slash\\line next\\tab tab}", false,
       {"A {braces} and \\ slash", "next    tab"}},
      {"unicode and named characters", "{\\rtf1\\uc1 x\\u233?y \\emdash  z\\bullet}", false,
       {"x\xE9y \x97 z\x95"}},
      {"unbalanced groups do no harm", "{\\rtf1 {\\b open} close}}} {{", false, {"open close "}},
      {"plain text lines", "one\r\ntwo\nthree\rfour", false, {"one", "two", "three", "four"}},
      {"RTF read as text", "{\\rtf1 \\b x}", true, {"{\\rtf1 \\b x}"}},
      {"empty", "", false, {}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Edit->SetPlainText(C.PlainText);
    int Changes = 0;
    Edit->OnChange = [&](TObject*) { ++Changes; };
    TStringStream Stream(C.Source);
    Edit->GetLines()->LoadFromStream(&Stream);
    EXPECT_EQ(Lines(), C.Expected);
    EXPECT_EQ(Changes, 1);
  }
  Edit->OnChange = nullptr;
  // Edits through the lines keep the text and survive a new window.
  Edit->SetPlainText(false);
  Edit->GetLines()->SetText("{\\rtf1 a\\par b}");
  Edit->GetLines()->Add("c");
  Edit->GetLines()->Delete(0);
  EXPECT_EQ(Lines(), (std::vector<String>{"b", "c"}));
  Edit->SetWordWrap(false);
  EXPECT_EQ(Lines(), (std::vector<String>{"b", "c"}));
  EXPECT_THROW(Edit->GetLines()->Get(5), Exception);
}

TEST_F(StdRichEdit, DrawsColoursAndSizes) {
  TForm* F = MakeEdit(300, 120);
  F->SetColor(clWhite);
  Edit->SetColor(clWhite);
  Edit->SetContent(
      "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "\\fs16 small\\par\\cf1\\fs48 BIG RED\\par\\cf0\\fs16\\qc\\cf2 blue centred\\par}");
  F->Show();
  Pump();
  EXPECT_EQ(SendMessageA(Edit->GetHandle(), EM_GETLINECOUNT, 0, 0), 3);
  // The big red line is taller than the small one and red; the third line is blue and centred.
  int Red = CountColour(F, RGB(255, 0, 0), 0, 120);
  EXPECT_GT(Red, 40);
  EXPECT_EQ(CountColour(F, RGB(255, 0, 0), 0, 8), 0) << "the first line is not red";
  int Blue = 0, BlueLeft = 1000;
  TSnapshot Shot = Snap(F);
  for (int Y = 0; Y < 120; ++Y)
    for (int X = 0; X < 300; ++X) {
      COLORREF P = Shot.At(X, Y);
      if (GetBValue(P) > 180 && GetRValue(P) < 80 && GetGValue(P) < 80) {
        ++Blue;
        BlueLeft = std::min(BlueLeft, X);
      }
    }
  EXPECT_GT(Blue, 5);
  EXPECT_GT(BlueLeft, 60) << "centred, not at the left edge";
}

TEST_F(StdRichEdit, WrapsAndScrollsInPixels) {
  MakeEdit(120, 60);
  String Long;
  for (int I = 0; I < 30; ++I) Long += "word ";
  Edit->SetContent(Long);
  int Wrapped = static_cast<int>(SendMessageA(Edit->GetHandle(), EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(Wrapped, 3);
  Edit->SetWordWrap(false);
  EXPECT_EQ(SendMessageA(Edit->GetHandle(), EM_GETLINECOUNT, 0, 0), 1);
  Edit->SetWordWrap(true);

  SCROLLINFO SI = Scroll();
  EXPECT_EQ(SI.nMin, 0);
  EXPECT_EQ(static_cast<int>(SI.nPage), Edit->GetClientHeight());
  EXPECT_GT(SI.nMax + 1, static_cast<int>(SI.nPage)) << "the text overflows";
  EXPECT_EQ(SI.nPos, 0);
  SendMessageA(Edit->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  int Step = Scroll().nPos;
  EXPECT_GT(Step, 0);
  EXPECT_EQ(SendMessageA(Edit->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  SendMessageA(Edit->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10000), 0);
  SI = Scroll();
  EXPECT_EQ(SI.nPos, SI.nMax + 1 - static_cast<int>(SI.nPage)) << "the last page at most";
  SendMessageA(Edit->GetHandle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Scroll().nPos, 0);

  // Short text: the page holds everything.
  Edit->SetContent("short");
  SI = Scroll();
  EXPECT_GT(static_cast<int>(SI.nPage), SI.nMax - SI.nMin);
  EXPECT_EQ(SI.nPos, 0);
}

TEST_F(StdRichEdit, WheelScrollsBySystemLinesOrGoesToTheParent) {
  TForm* F = MakeEdit(120, 60);
  String Long;
  for (int I = 0; I < 60; ++I) Long += "word ";
  Edit->SetContent(Long);
  SendMessageA(Edit->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  int Step = Scroll().nPos;
  SendMessageA(Edit->GetHandle(), WM_VSCROLL, SB_TOP, 0);
  UINT Lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
  auto Wheel = [&](int Delta) {
    SendMessageA(Edit->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(Delta))), 0);
  };
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(Scroll().nPos, static_cast<int>(Lines) * Step);
  for (int K = 0; K < 2; ++K) Wheel(-WHEEL_DELTA / 2);
  EXPECT_EQ(Scroll().nPos, 2 * static_cast<int>(Lines) * Step) << "small turns add up";
  int ParentWheels = 0;
  F->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& Handled) {
    ++ParentWheels;
    Handled = true;
  };
  Wheel(WHEEL_DELTA);
  EXPECT_EQ(ParentWheels, 0);
  Edit->SetContent("short");
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ParentWheels, 1) << "text that fits leaves the wheel to the parent";
}

TEST_F(StdRichEdit, WantTabsAndReturnsDecideWhoGetsTheKeys) {
  MakeEdit();
  LRESULT Class = SendMessageA(Edit->GetHandle(), WM_GETDLGCODE, 0, 0);
  struct TCase {
    bool Tabs, Returns;
    LRESULT Want;
  } Cases[] = {{false, true, Class & DLGC_WANTALLKEYS},
               {true, true, DLGC_WANTTAB | (Class & DLGC_WANTALLKEYS)},
               {false, false, 0},
               {true, false, DLGC_WANTTAB}};
  for (const TCase& C : Cases) {
    Edit->SetWantTabs(C.Tabs);
    Edit->SetWantReturns(C.Returns);
    LRESULT Code = Edit->Perform(WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(Code & (DLGC_WANTTAB | DLGC_WANTALLKEYS), C.Want) << C.Tabs << C.Returns;
    EXPECT_TRUE(Code & DLGC_WANTARROWS) << "arrows scroll in every case";
  }
}

}  // namespace
