// The common views deleted on their own while their form lives on: each gives its window back,
// leaves its parent's child list, and the form goes on painting and taking new children. The
// list view holds a canvas of its own; a canvas that holds the window's DC when the view goes
// must give the DC back before the window dies.
#include <gtest/gtest.h>

#include <functional>

#include "platform/vcl/ListViewCtrl.h"
#include "platform/vcl/RichEditCtrl.h"
#include "platform/vcl/TreeViewCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class ViewLifetime : public TVclWindowTest {};

struct TViewCase {
  const char* Name;
  // Makes the view on Form, with content, its window made.
  std::function<TWinControl*(ViewLifetime&, TForm* Form)> Make;
};

TListView* MakeListView(TForm* Form, bool DrawOnCanvas)
{
  auto* list = new TListView(Form);
  list->SetBounds(0, 0, 200, 150);
  list->SetViewStyle(vsReport);
  list->SetParent(Form);
  list->GetColumns()->Add()->SetCaption("Name");
  for (const char* caption : {"alpha", "beta", "gamma"})
    list->GetItems()->Add()->SetCaption(caption);
  list->GetItems()->GetItem(1)->SetSelected(true);
  list->HandleNeeded();
  if (DrawOnCanvas) {
    // The canvas takes the window's DC and keeps it until it is freed.
    list->GetCanvas()->GetBrush()->SetColor(clRed);
    list->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  }
  return list;
}

const TViewCase ViewCases[] = {
    {"list view", [](ViewLifetime&, TForm* F) -> TWinControl* { return MakeListView(F, false); }},
    {"list view whose canvas holds the DC", [](ViewLifetime&, TForm* F) -> TWinControl* { return MakeListView(F, true); }},
    {"tree view",
     [](ViewLifetime&, TForm* F) -> TWinControl* {
       auto* tree = new TTreeView(F);
       tree->SetBounds(0, 0, 200, 150);
       tree->SetParent(F);
       TTreeNode* root = tree->GetItems()->Add(nullptr, "root");
       tree->GetItems()->AddChild(root, "child");
       root->SetExpanded(true);
       tree->HandleNeeded();
       tree->SetSelected(root);
       return tree;
     }},
    {"rich edit",
     [](ViewLifetime&, TForm* F) -> TWinControl* {
       auto* edit = new TRichEdit(F);
       edit->SetBounds(0, 0, 200, 150);
       edit->SetParent(F);
       edit->HandleNeeded();
       edit->GetLines()->Add("first line");
       edit->GetLines()->Add("second line");
       return edit;
     }},
};

TEST_F(ViewLifetime, AViewDeletedWithItsWindowLeavesItsFormWorking)
{
  for (const TViewCase& c : ViewCases) {
    SCOPED_TRACE(c.Name);
    TForm* form = NewForm(0, 0, 240, 200);
    form->SetColor(clBlue);
    form->SetVisible(true);
    Pump();
    TWinControl* view = c.Make(*this, form);
    ASSERT_TRUE(view->HandleAllocated());
    const HWND window = view->GetHandle();
    view->Repaint();
    Pump();
    ASSERT_EQ(form->GetControlCount(), 1);
    const int components = form->GetComponentCount();

    delete view;
    EXPECT_FALSE(IsWindow(window)) << "the view's window goes with it";
    EXPECT_EQ(form->GetControlCount(), 0);
    EXPECT_EQ(form->GetComponentCount(), components - 1);

    // The form paints where the view was and takes a new child of the same kind.
    form->Repaint();
    Pump();
    EXPECT_EQ(Pixel(form, 100, 100), ColorToRGB(clBlue));
    TWinControl* again = c.Make(*this, form);
    EXPECT_TRUE(again->HandleAllocated());
    EXPECT_EQ(form->GetControlCount(), 1);
    delete form;
    Owned.pop_back();
    Pump();
  }
}

} // namespace
