// The skinned tree view, list view (with its skinned header) and rich edit: their look from the
// skin, the linked bars that mirror and drive their scrolling (with positions beyond 16 bits),
// the header's pressed and resizing states, and the release notes in the rich edit.
#include <cstdio>
#include <fstream>

#include "platform/vcl/ViewCtrlsConsts.h"
#include "skin/input/SkinListView.h"
#include "skin/input/SkinRichEdit.h"
#include "skin/input/SkinTreeView.h"
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

const char* const ViewSkin = "[SKINCONTROLS]\ncount=3\n0=treeview:treeview\n1=listview:listview\n"
                             "2=richedit:richedit\n"
                             "[treeview]\nfontname=Courier New\nfontheight=17\nfontstyle=fsBold\n"
                             "fontcolor=255\nbgcolor=65280\n"
                             "[listview]\nfontname=Courier New\nfontheight=17\nfontcolor=255\nbgcolor=65280\n"
                             "[richedit]\nfontname=Courier New\nfontheight=17\nfontcolor=255\nbgcolor=65280\n";

class SkinViews : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Form->Show();
    Pump();
  }
  TListTestBar* NewBar(TskScrollBarKind Kind)
  {
    auto* bar = new TListTestBar(Form, Kind);
    bar->SetParent(Form);
    bar->SetBounds(Kind == sbVertical ? 380 : 0, Kind == sbVertical ? 0 : 280, Kind == sbVertical ? 16 : 300, 16);
    return bar;
  }
  TForm* Form = nullptr;
};

// ----- look -----

struct TLookCase {
  const char* Name;
  bool WithSkin;
  bool UseSkinFont;
  const char* FontName;
  TColor FontColor;
  TColor Color;
};

const TLookCase LookCases[] = {
    {"NoSkinGivesTheDefaultLook", false, true, "Arial", clWindowText, clWindow},
    {"SkinGivesFontAndColours", true, true, "Courier New", TColor(255), TColor(65280)},
    {"WithoutSkinFontTheColoursStillComeFromTheRecord", true, false, "Arial", TColor(255), TColor(65280)},
};

TEST_F(SkinViews, TreeAndListTakeTheirLookFromTheSkin)
{
  for (const TLookCase& c : LookCases) {
    SCOPED_TRACE(c.Name);
    TForm* form = NewForm(100, 100, 300, 200);
    auto* tree = Add<TskSkinCustomTreeView>(form, "Tree", 0, 0, 100, 100);
    auto* list = Add<TskSkinCustomListView>(form, "List", 100, 0, 100, 100);
    tree->SetUseSkinFont(c.UseSkinFont);
    list->SetUseSkinFont(c.UseSkinFont);
    TskSkinData* skin = c.WithSkin ? NewSkin({}, ViewSkin) : nullptr;
    tree->SetSkinData(skin);
    list->SetSkinData(skin);
    tree->ChangeSkinData();
    list->ChangeSkinData();
    for (TWinControl* view : {static_cast<TWinControl*>(tree), static_cast<TWinControl*>(list)}) {
      EXPECT_EQ(view->GetFont()->GetName(), c.FontName);
      EXPECT_EQ(view->GetFont()->GetColor(), c.FontColor);
      EXPECT_EQ(view->GetColor(), c.Color);
    }
  }
}

TEST_F(SkinViews, RichEditTakesTheSkinOnlyWithSkinSupport)
{
  auto* edit = Add<TskSkinRichEdit>(Form, "Edit", 0, 0, 200, 100);
  edit->GetFont()->SetColor(clBlue);
  edit->SetSkinData(NewSkin({}, ViewSkin));
  EXPECT_EQ(edit->GetFont()->GetColor(), clBlue) << "SkinSupport off: the edit keeps its font";
  EXPECT_EQ(edit->GetFont()->GetName(), "Arial");
  edit->SetSkinSupport(true);
  edit->ChangeSkinData();
  EXPECT_EQ(edit->GetFont()->GetName(), "Courier New");
  EXPECT_EQ(edit->GetFont()->GetColor(), TColor(255));
  EXPECT_EQ(edit->GetColor(), TColor(65280));
}

// ----- tree view bars -----

TEST_F(SkinViews, TreeShowsItsVerticalBarOnlyWhileTheRowsDoNotFit)
{
  auto* tree = Add<TskSkinCustomTreeView>(Form, "Tree", 0, 0, 200, 100);
  auto* v = NewBar(sbVertical);
  auto* h = NewBar(sbHorizontal);
  tree->SetVScrollBar(v);
  tree->SetHScrollBar(h);
  tree->GetItems()->Add(nullptr, "one");
  tree->SyncScrollBars();
  EXPECT_FALSE(v->GetVisible());
  EXPECT_FALSE(h->Both);
  for (int i = 0; i < 40; ++i)
    tree->GetItems()->Add(nullptr, "item " + std::to_string(i));
  tree->SyncScrollBars();
  EXPECT_TRUE(v->GetVisible());
  EXPECT_EQ(v->Page, static_cast<int>(SendMessageA(tree->GetHandle(), TVM_GETVISIBLECOUNT, 0, 0)));
  EXPECT_TRUE(h->Both) << "a shown vertical bar gives the horizontal bar its corner look";

  v->SetPosition(10);
  EXPECT_EQ(GetScrollPos(tree->GetHandle(), SB_VERT), 10);
  EXPECT_EQ(tree->GetTopItem()->GetText(), "item 9");

  tree->SetVisible(false);
  EXPECT_FALSE(v->GetVisible()) << "hiding the view hides its bars";
  tree->SetVisible(true);
  tree->SyncScrollBars();
  EXPECT_TRUE(v->GetVisible());
}

TEST_F(SkinViews, AnAlignedTreeGivesRoomToItsBarWhenItAppears)
{
  auto* v = NewBar(sbVertical);
  v->SetAlign(alRight);
  auto* tree = Add<TskSkinCustomTreeView>(Form, "Tree", 0, 0, 200, 100);
  tree->SetAlign(alClient);
  tree->SetVScrollBar(v);
  const int full = tree->GetWidth();
  for (int i = 0; i < 60; ++i)
    tree->GetItems()->Add(nullptr, "item " + std::to_string(i));
  tree->SyncScrollBars();
  ASSERT_TRUE(v->GetVisible());
  EXPECT_EQ(tree->GetWidth(), full - v->GetWidth());
}

// ----- rich edit -----

TEST_F(SkinViews, RichEditBarIsDisabledUntilTheTextOverflows)
{
  auto* edit = Add<TskSkinRichEdit>(Form, "Edit", 0, 0, 200, 100);
  auto* v = NewBar(sbVertical);
  edit->SetVScrollBar(v);
  edit->SetContent("short");
  EXPECT_FALSE(v->GetEnabled());
  EXPECT_TRUE(v->GetVisible()) << "the rich edit never hides its bar";
  String text;
  for (int i = 0; i < 40; ++i)
    text += "line " + std::to_string(i) + "\n";
  edit->SetContent(text);
  EXPECT_TRUE(v->GetEnabled());
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(edit->GetHandle(), SB_VERT, &si);
  EXPECT_EQ(v->Max, si.nMax);
  EXPECT_EQ(v->Page, static_cast<int>(si.nPage));
}

TEST_F(SkinViews, RichEditBarButtonsScrollByTheEditsLines)
{
  auto* edit = Add<TskSkinRichEdit>(Form, "Edit", 0, 0, 200, 100);
  auto* v = NewBar(sbVertical);
  edit->SetVScrollBar(v);
  String text;
  for (int i = 0; i < 40; ++i)
    text += "line " + std::to_string(i) + "\n";
  edit->SetContent(text);
  v->OnDownButtonClick(v);
  EXPECT_EQ(v->GetPosition(), 0) << "at position 0 the down button does nothing";
  v->OnUpButtonClick(v);
  const int line = v->GetPosition();
  EXPECT_GT(line, 0);
  EXPECT_EQ(SendMessageA(edit->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  for (int i = 0; i < 100; ++i)
    v->OnUpButtonClick(v);
  EXPECT_EQ(v->GetPosition(), v->Max - v->Page + 1) << "stops at the last page";
  const int last = v->GetPosition();
  v->OnUpButtonClick(v);
  EXPECT_EQ(v->GetPosition(), last);
}

TEST_F(SkinViews, BarPositionsBeyondSixteenBitsScrollTheRichEdit)
{
  auto* edit = Add<TskSkinRichEdit>(Form, "Edit", 0, 0, 200, 100);
  auto* v = NewBar(sbVertical);
  edit->SetVScrollBar(v);
  String text;
  for (int i = 0; i < 8000; ++i)
    text += "line " + std::to_string(i) + "\n";
  edit->SetContent(text);
  ASSERT_GT(v->Max, 70000) << "the text must be taller than 16 bits of pixels";
  v->SetPosition(70000);
  EXPECT_EQ(GetScrollPos(edit->GetHandle(), SB_VERT), 70000);
  v->SetPosition(5);
  EXPECT_EQ(GetScrollPos(edit->GetHandle(), SB_VERT), 5);
}

TEST_F(SkinViews, TheReleaseNotesShowInTheRichEdit)
{
  const String path = String(QV_TEST_BIN_DIR) + "/releasenotes-test.rtf";
  {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20{\\b Quelvo 3 release notes}\\par\n";
    for (int i = 1; i <= 30; ++i)
      out << "Change " << i << ": {\\i fixed}\\par\n";
    out << "}";
  }
  auto* edit = Add<TskSkinRichEdit>(Form, "Notes", 0, 0, 250, 120);
  edit->SetReadOnly(true);
  auto* v = NewBar(sbVertical);
  edit->SetVScrollBar(v);
  edit->GetLines()->LoadFromFile(path);
  std::remove(path.c_str());
  EXPECT_EQ(edit->GetLines()->Get(0), "Quelvo 3 release notes");
  EXPECT_EQ(edit->GetLines()->Get(3), "Change 3: fixed");
  EXPECT_EQ(edit->GetText().find("\\rtf"), String::npos) << "the RTF is shown, not its source";
  edit->SyncScrollBars();
  EXPECT_TRUE(v->GetEnabled());
}

// ----- list view -----

void FillList(TskSkinCustomListView* List, int Count)
{
  for (int i = 0; i < Count; ++i)
    List->GetItems()->Add()->SetCaption("file " + std::to_string(i));
}

TEST_F(SkinViews, ListBarsFollowTheViewStyle)
{
  auto* list = Add<TskSkinCustomListView>(Form, "List", 0, 0, 200, 100);
  auto* v = NewBar(sbVertical);
  auto* h = NewBar(sbHorizontal);
  list->SetVScrollBar(v);
  list->SetHScrollBar(h);
  list->SetViewStyle(vsReport);
  list->GetColumns()->Add()->SetCaption("Name");
  FillList(list, 2);
  list->SyncScrollBars();
  EXPECT_FALSE(v->GetVisible()) << "report rows that fit show no vertical bar";

  FillList(list, 40);
  list->SyncScrollBars();
  const int perPage = static_cast<int>(SendMessageA(list->GetHandle(), LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_TRUE(v->GetVisible());
  EXPECT_EQ(v->Page, perPage);
  EXPECT_EQ(v->Large, perPage);
  v->SetPosition(5);
  EXPECT_EQ(list->GetTopItem()->GetIndex(), 5) << "the report scrolls by rows";

  list->SetViewStyle(vsList);
  list->SyncScrollBars();
  EXPECT_FALSE(v->GetVisible()) << "the list style never shows the vertical bar";
  EXPECT_TRUE(h->GetVisible());
  const int before = GetScrollPos(list->GetHandle(), SB_HORZ);
  h->SetPosition(h->GetPosition() + 1);
  EXPECT_EQ(GetScrollPos(list->GetHandle(), SB_HORZ), before + 1) << "one step moves one column";
}

TEST_F(SkinViews, ATinyListNeverSynchronisesItsBars)
{
  auto* list = Add<TskSkinCustomListView>(Form, "List", 0, 0, 5, 100);
  auto* v = NewBar(sbVertical);
  list->SetVScrollBar(v);
  list->SetViewStyle(vsReport);
  FillList(list, 50);
  list->SyncScrollBars();
  EXPECT_FALSE(v->GetVisible());
}

TEST_F(SkinViews, TheHeaderIsSkinnedPressedAndWider)
{
  auto* list = Add<TskSkinCustomListView>(Form, "List", 0, 0, 200, 100);
  list->SetViewStyle(vsReport);
  list->GetColumns()->Add()->SetCaption("Name");
  list->GetColumns()->GetItem(0)->SetWidth(80);
  list->GetColumns()->Add()->SetCaption("Size");
  list->GetColumns()->GetItem(1)->SetWidth(50);
  FillList(list, 3);
  Pump();
  HWND header = list->GetHeaderHandle();
  ASSERT_NE(header, nullptr);
  RECT r{};
  GetWindowRect(header, &r);
  EXPECT_GE(r.right - r.left, list->GetClientWidth() + 25) << "the header reaches under the bar's place";

  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  EXPECT_EQ(list->GetPressedSection(), 0);
  EXPECT_TRUE(list->GetSectionPressed());
  EXPECT_FALSE(list->GetHeaderResizing());
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  EXPECT_EQ(list->GetPressedSection(), -1);
  EXPECT_FALSE(list->GetSectionPressed());

  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 5));
  EXPECT_TRUE(list->GetHeaderResizing()) << "a press on a divider resizes";
  EXPECT_FALSE(list->GetSectionPressed());
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(90, 5));
}

TEST_F(SkinViews, ThePressedSectionIsDrawnPressed)
{
  auto* list = Add<TskSkinCustomListView>(Form, "List", 0, 0, 200, 100);
  list->SetViewStyle(vsReport);
  list->GetColumns()->Add()->SetCaption("");
  list->GetColumns()->GetItem(0)->SetWidth(80);
  Pump();
  HWND header = list->GetHeaderHandle();
  ASSERT_NE(header, nullptr);
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(100, 20);
  list->DrawHeaderSection(b.GetCanvas(), list->GetColumns()->GetItem(0), false, Rect(0, 0, 80, 20));
  EXPECT_EQ(ColorToRGB(BitmapPixel(&b, 40, 10)), ColorToRGB(clBtnFace));
  list->DrawHeaderSection(b.GetCanvas(), list->GetColumns()->GetItem(0), true, Rect(0, 0, 80, 20));
  EXPECT_EQ(ColorToRGB(BitmapPixel(&b, 40, 10)), ColorToRGB(TColor(0xB59385)));
  EXPECT_EQ(ColorToRGB(BitmapPixel(&b, 0, 0)), ColorToRGB(clNavy));
}

} // namespace
