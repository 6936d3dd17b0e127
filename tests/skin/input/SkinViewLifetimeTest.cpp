// The skinned views deleted on their own while their form and their linked bars live on: the
// view's window goes, the form keeps working, and the bars link to a new view.
#include <functional>

#include "skin/input/SkinListView.h"
#include "skin/input/SkinRichEdit.h"
#include "skin/input/SkinTreeView.h"
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

class SkinViewLifetime : public TSkinControlTest {};

const char* const ViewSkin = "[SKINCONTROLS]\ncount=3\n0=treeview:treeview\n1=listview:listview\n"
                             "2=richedit:richedit\n"
                             "[treeview]\nfontcolor=255\nbgcolor=65280\n"
                             "[listview]\nfontcolor=255\nbgcolor=65280\n"
                             "[richedit]\nfontcolor=255\nbgcolor=65280\n";

struct TViewCase {
  const char* Name;
  // Makes the skinned view on Form with content and its window, linked to the bars V and H when
  // it takes bars.
  std::function<TWinControl*(TForm* Form, TskSkinData* Skin, IskScrollBarLink* V, IskScrollBarLink* H)> Make;
};

const TViewCase ViewCases[] = {
    {"list view",
     [](TForm* F, TskSkinData* Skin, IskScrollBarLink* V, IskScrollBarLink* H) -> TWinControl* {
       auto* list = new TskSkinCustomListView(F);
       list->SetBounds(0, 0, 200, 100);
       list->SetParent(F);
       list->SetViewStyle(vsReport);
       list->GetColumns()->Add()->SetCaption("Name");
       for (int i = 0; i < 30; ++i)
         list->GetItems()->Add()->SetCaption("item " + std::to_string(i));
       list->SetSkinData(Skin);
       list->SetVScrollBar(V);
       list->SetHScrollBar(H);
       list->HandleNeeded();
       list->GetCanvas()->FillRect(Rect(0, 0, 2, 2));
       return list;
     }},
    {"tree view",
     [](TForm* F, TskSkinData* Skin, IskScrollBarLink* V, IskScrollBarLink* H) -> TWinControl* {
       auto* tree = new TskSkinCustomTreeView(F);
       tree->SetBounds(0, 0, 200, 100);
       tree->SetParent(F);
       for (int i = 0; i < 30; ++i)
         tree->GetItems()->Add(nullptr, "item " + std::to_string(i));
       tree->SetSkinData(Skin);
       tree->SetVScrollBar(V);
       tree->SetHScrollBar(H);
       tree->HandleNeeded();
       return tree;
     }},
    {"rich edit",
     [](TForm* F, TskSkinData* Skin, IskScrollBarLink*, IskScrollBarLink*) -> TWinControl* {
       auto* edit = new TskSkinRichEdit(F);
       edit->SetBounds(0, 0, 200, 100);
       edit->SetParent(F);
       edit->SetSkinSupport(true);
       edit->SetSkinData(Skin);
       edit->HandleNeeded();
       edit->GetLines()->Add("first line");
       return edit;
     }},
};

TEST_F(SkinViewLifetime, AViewDeletedWithItsWindowLeavesItsFormAndBarsWorking)
{
  for (const TViewCase& c : ViewCases) {
    SCOPED_TRACE(c.Name);
    TForm* form = NewForm(100, 100, 300, 200);
    form->Show();
    Pump();
    auto* v = new TListTestBar(form, sbVertical);
    v->SetParent(form);
    v->SetBounds(280, 0, 16, 100);
    auto* h = new TListTestBar(form, sbHorizontal);
    h->SetParent(form);
    h->SetBounds(0, 180, 200, 16);
    TWinControl* view = c.Make(form, NewSkin({}, ViewSkin), v, h);
    ASSERT_TRUE(view->HandleAllocated());
    const HWND window = view->GetHandle();
    view->Repaint();
    Pump();

    delete view;
    EXPECT_FALSE(v->OnChange) << "a bar that outlives its view no longer calls into it";
    EXPECT_FALSE(h->OnChange);
    v->SetPosition(5);
    h->SetPosition(5);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(form->GetControlCount(), 2) << "the bars stay";
    form->Repaint();
    Pump();
    TWinControl* again = c.Make(form, NewSkin({}, ViewSkin), v, h);
    EXPECT_TRUE(again->HandleAllocated());
    v->SetPosition(2);
    h->SetPosition(2);
    Pump();
  }
}

} // namespace
