// The skinned memo: its read-only mode, the formatting rectangle inside the frame, the linked
// scroll bars, the blend over what lies under it, and the context menu.
#include <cstring>

#include "skin/input/SkinMemo.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

// A linked bar that records what the memo gives it.
class TBarDouble : public TComponent, public IskScrollBarLink {
public:
  using TComponent::TComponent;
  TComponent* LinkComponent() override { return this; }
  int GetMin() const override { return Min; }
  int GetMax() const override { return Max; }
  int GetPageSize() const override { return Page; }
  int GetPosition() const override { return Position; }
  void SetPosition(int Value) override
  {
    Position = Value;
    if (OnChange)
      OnChange(this);
  }
  void SetPositionSilent(int Value) override { Position = Value; }
  void SetRange(int AMin, int AMax, int APosition, int APageSize) override
  {
    Min = AMin;
    Max = AMax;
    Position = APosition;
    Page = APageSize;
  }
  int GetSmallChange() const override { return 1; }
  void SetSmallChange(int) override {}
  int GetLargeChange() const override { return 1; }
  void SetLargeChange(int) override {}
  bool GetBarVisible() override { return true; }
  void SetBarVisible(bool) override {}
  void SetBarEnabled(bool Value) override { Enabled = Value; }
  bool GetBoth() const override { return false; }
  void SetBoth(bool) override {}

  int Min = -1, Max = -1, Position = -1, Page = -1;
  bool Enabled = true;
};

class SkinMemo : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 300, 200);
    Form->SetColor(clRed);
    Memo = Add<TskSkinMemo>(Form, "Memo", 10, 10, 200, 100);
    Form->Show();
    Memo->SetFocus();
    Pump();
  }

  TForm* Form = nullptr;
  TskSkinMemo* Memo = nullptr;
};

TEST_F(SkinMemo, AReadOnlyMemoCopiesButChangesNothing)
{
  Memo->SetText("line one");
  Memo->SetReadOnly(true);
  Memo->SelectAll();
  Type("x");
  KeyStroke(VK_DELETE);
  Type("\x18\x16");  // Ctrl+X, Ctrl+V
  EXPECT_EQ(Memo->GetText(), "line one");
  Type("\x03");  // Ctrl+C
  Memo->SetReadOnly(false);
  Memo->SetText("");
  Memo->PasteFromClipboard();
  EXPECT_EQ(Memo->GetText(), "line one") << "the copy reached the clipboard";

  Memo->SetReadOnly(true);
  Memo->SelectAll();
  for (const TskEditMenuEntry& e : Memo->ContextMenuEntries()) {
    if (e.Caption == "Cut" || e.Caption == "Paste" || e.Caption == "Delete") {
      EXPECT_FALSE(e.Enabled) << e.Caption;
    }
    if (e.Caption == "Copy") {
      EXPECT_TRUE(e.Enabled);
    }
  }
}

TEST_F(SkinMemo, TheUnskinnedFrameInsetsTheText)
{
  Memo->SetBitMapBG(false);
  Memo->AdjustTextRect();
  EXPECT_EQ(Memo->GetFormatRect(), Rect(6, 2, 196, 98));
  Memo->SetBitMapBG(true);
  Memo->AdjustTextRect();
  EXPECT_EQ(Memo->GetFormatRect(), Rect(3, 2, 196, 98));
  Memo->SetBorderStyle(bsNone);
  const TRect before = Memo->GetFormatRect();
  Memo->SetBounds(10, 10, 150, 80);
  Memo->AdjustTextRect();
  EXPECT_EQ(Memo->GetFormatRect(), before) << "no frame: the rectangle is left alone";
}

// Both bars are enabled exactly when the text does not fit their way.
TEST_F(SkinMemo, TheLinkedBarsFollowTheTextAndScrollTheMemo)
{
  Memo->SetWordWrap(false);
  auto* v = new TBarDouble(Holder);
  auto* h = new TBarDouble(Holder);
  Memo->SetVScrollBar(v);
  Memo->SetHScrollBar(h);
  EXPECT_EQ(v->Max, 0);
  Memo->SetText("short");
  EXPECT_FALSE(v->Enabled) << "all lines fit";
  EXPECT_FALSE(h->Enabled);
  String many;
  for (int i = 0; i < 40; ++i)
    many += "line " + std::to_string(i) + "\r\n";
  many += String(300, 'w');
  Memo->SetText(many);
  EXPECT_TRUE(v->Enabled);
  EXPECT_TRUE(h->Enabled);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(Memo->GetHandle(), SB_VERT, &si);
  EXPECT_EQ(v->Max, si.nMax);
  EXPECT_EQ(v->Page, static_cast<int>(si.nPage));
  v->SetPosition(10);
  EXPECT_EQ(SendMessageA(Memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 10) << "the bar scrolls the memo";
  Memo->SetEnabled(false);
  EXPECT_FALSE(v->Enabled);
  delete v;
  EXPECT_EQ(Memo->GetVScrollBar(), nullptr) << "a freed bar is forgotten";
  Memo->SetEnabled(true);
}

// What lies under a transparent memo (the red form) mixes with its white background by
// AlphaBlendValue: 0 shows only the form, 255 only the memo.
TEST_F(SkinMemo, ATransparentMemoBlendsOverWhatLiesUnderIt)
{
  Memo->SetBorderStyle(bsNone);
  Memo->SetTransparent(true);
  const struct {
    const char* Name;
    Byte Value;
    TColor Expected;
  } cases[] = {
      {"0: the form only", 0, clRed},
      {"255: the memo only", 255, clWhite},
      {"128: an even mix", 128, 0x7F7FFF},
  };
  for (const auto& c : cases) {
    Memo->SetAlphaBlendValue(c.Value);
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(Memo->GetWidth(), Memo->GetHeight());
    Memo->DrawBackground(b.GetCanvas());
    const TColor got = BitmapPixel(&b, 100, 90);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((c.Expected >> shift) & 0xFF), 2) << c.Name;
  }
}

TEST_F(SkinMemo, TheMenuKeyOpensTheMenuAtTheCentreAndItsCommandsRun)
{
  Memo->SetText("text");
  Memo->SelectAll();
  SendMessageA(Memo->GetHandle(), WM_CONTEXTMENU, 0, MAKELPARAM(0xFFFF, 0xFFFF));
  ASSERT_NE(Memo->GetContextMenu(), nullptr);
  const TPoint origin = Memo->ClientToScreen(Point(0, 0));
  EXPECT_EQ(Memo->GetContextMenuPoint(), Point(origin.x + 100, origin.y + 50));
  Memo->GetContextMenu()->GetItems()->GetItem(5)->Click();  // Delete
  EXPECT_EQ(Memo->GetText(), "");
  SendMessageA(Memo->GetHandle(), SkinMenuCommandDoneMessage, 0, 0);
  EXPECT_EQ(Memo->GetContextMenu(), nullptr);
}

TEST_F(SkinMemo, ThePointerSwitchesAnUnfocusedSkinnedMemoToItsActiveColours)
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(40, 40, clGray));
  TskSkinData* skin = NewSkin(std::move(p), "[SKINCONTROLS]\ncount=1\n0=memo:memo\n"
                                            "[memo]\npictureindex=0\nskinrect=0,0,40,40\nclientrect=3,3,37,37\n"
                                            "fontname=Arial\nfontheight=14\nfontcolor=255\nactivefontcolor=65280\n"
                                            "bgcolor=16777215\nactivebgcolor=12632256\n");
  auto* other = Add<TskSkinMemo>(Form, "Other", 10, 120, 100, 40);
  other->SetFocus();
  Memo->SetBitMapBG(false);
  Memo->SetSkinData(skin);
  ASSERT_NE(Memo->GetSkinIndex(), -1);
  EXPECT_EQ(Memo->GetColor(), 0xFFFFFF);
  EXPECT_EQ(Memo->GetFont()->GetColor(), 0x0000FF);
  Memo->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Memo->GetColor(), 0xC0C0C0);
  EXPECT_EQ(Memo->GetFont()->GetColor(), 0x00FF00);
  Memo->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Memo->GetColor(), 0xFFFFFF);
  Memo->SetFocus();
  Pump();
  EXPECT_EQ(Memo->GetColor(), 0xC0C0C0) << "focused: active";
  Memo->Perform(CM_MOUSEENTER, 0, 0);
  Memo->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Memo->GetColor(), 0xC0C0C0) << "a focused memo keeps its active colours";
}

} // namespace
