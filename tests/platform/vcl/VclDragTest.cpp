// Dragging between controls driven by injected mouse and key input: the threshold, the states a
// target sees, accepting and dropping, cancelling, the cursor and the drag image.

#include <gtest/gtest.h>

#include "platform/rtl/Rtl.h"
#include "platform/vcl/DragObjects.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

const char* StateName(TDragState S) {
  switch (S) {
    case dsDragEnter: return "enter";
    case dsDragLeave: return "leave";
    case dsDragMove: return "move";
  }
  return "?";
}

String NameOf(TObject* O) {
  if (!O) return "nil";
  if (auto* C = dynamic_cast<TComponent*>(O)) return C->GetName();
  return "object";
}

// A target that logs the CM_DRAG messages its window procedure sees.
class TDropBox : public TBox {
public:
  using TBox::TBox;
  void WndProc(TMessage& M) override {
    if (M.Msg == CM_DRAG && LOWORD(M.WParam) != dmFindTarget) VclLog().push_back("cm_drag " + IntToStr(LOWORD(M.WParam)));
    TBox::WndProc(M);
  }
};

// A source with a drag image: one 10 x 10 red cell, hot spot (2, 3).
class TImageBox : public TBox {
public:
  explicit TImageBox(TComponent* AOwner) : TBox(AOwner), Images(new TDragImageList(this, 10, 10)) {
    TBitmap B;
    B.SetSize(10, 10);
    B.GetCanvas()->GetBrush()->SetColor(clRed);
    B.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
    Images->Add(&B, nullptr);
    Images->SetDragImage(0, 2, 3);
  }
  TDragImageList* GetDragImages() override { return Images; }
  TDragImageList* Images;
};

// A list box that reorders its items by dragging, with a drag image made from the item's text.
class TReorderList : public TListBox {
public:
  explicit TReorderList(TComponent* AOwner) : TListBox(AOwner) { SetDragMode(dmAutomatic); }
  TDragImageList* GetDragImages() override { return Images; }
  TDragImageList* Images = nullptr;
  int DragIndex = -1;
  int ScrollHides = 0;

protected:
  void DoStartDrag(TDragObject*& DragObject) override {
    DragIndex = GetItemIndex();
    if (DragIndex < 0) {
      CancelDrag();
      return;
    }
    if (!Images) Images = new TDragImageList(this);
    Images->Clear();
    String Text = GetItems()->Get(DragIndex);
    TBitmap B;
    B.GetCanvas()->SetFont(GetFont());
    B.SetSize(B.GetCanvas()->TextWidth(Text) + 15, B.GetCanvas()->TextHeight(Text));
    B.GetCanvas()->GetBrush()->SetColor(clWhite);
    B.GetCanvas()->FillRect(Rect(0, 0, B.GetWidth(), B.GetHeight()));
    B.GetCanvas()->TextOut(15, 0, Text);
    Images->SetWidth(B.GetWidth());
    Images->SetHeight(B.GetHeight());
    Images->AddMasked(&B, clWhite);
    SetControlStyle(GetControlStyle() | csDisplayDragImage);
    TListBox::DoStartDrag(DragObject);
  }
  void DragOver(TObject* Source, int, int Y, TDragState, bool& Accept) override {
    Accept = Source == this;
    if (Accept && (Y < 5 || GetClientHeight() - Y <= 5)) {
      Images->HideDragImage();
      ++ScrollHides;
      Images->ShowDragImage();
    }
  }
  void DragDrop(TObject* Source, int X, int Y) override {
    if (Source != this) return;
    String Text = GetItems()->Get(DragIndex);
    int Target = ItemAtPos(Point(X, Y), true);
    GetItems()->Delete(DragIndex);
    if (Target > DragIndex) --Target;
    if (Target < 0)
      GetItems()->Add(Text);
    else
      GetItems()->Insert(Target, Text);
  }
};

class VclDrag : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TBox* Src = nullptr;
  TDropBox* Dst = nullptr;
  bool Accept = true;

  // The form at (100, 100); the source at form (10, 10), the target at form (150, 10), both
  // 100 x 80; the form's own area below them.
  template <class TSource = TBox>
  TSource* Make() {
    Form = NewForm(100, 100, 300, 200);
    auto* S = Add<TSource>(Form, "Src", 10, 10, 100, 80);
    Src = S;
    Dst = Add<TDropBox>(Form, "Dst", 150, 10, 100, 80);
    Src->SetDragMode(dmAutomatic);
    Src->OnStartDrag = [](TObject* Sender, TDragObject*&) { VclLog().push_back("start " + NameOf(Sender)); };
    Src->OnEndDrag = [](TObject* Sender, TObject* Target, int X, int Y) {
      VclLog().push_back("end " + NameOf(Sender) + " " + NameOf(Target) + " " + IntToStr(X) + "," + IntToStr(Y));
    };
    Dst->OnDragOver = [this](TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& A) {
      VclLog().push_back("over " + NameOf(Sender) + " " + StateName(State) + " " + NameOf(Source) + " " + IntToStr(X) +
                         "," + IntToStr(Y));
      A = Accept;
    };
    Dst->OnDragDrop = [](TObject* Sender, TObject* Source, int X, int Y) {
      VclLog().push_back("drop " + NameOf(Sender) + " " + NameOf(Source) + " " + IntToStr(X) + "," + IntToStr(Y));
    };
    Form->Show();
    Src->SetFocus();
    Pump();
    VclLog().clear();
    return S;
  }

  void MoveTo(int X, int Y) {
    Display()->InjectMouseMove(X, Y);
    Pump();
  }
  void Press(int X, int Y) {
    MoveTo(X, Y);
    Display()->InjectButton(X, Y, 1, true);
    Pump();
  }
  void Release(int X, int Y) {
    Display()->InjectButton(X, Y, 1, false);
    Pump();
  }
  std::vector<String> Logged(const String& Prefix) {
    std::vector<String> R;
    for (const String& S : VclLog())
      if (S.compare(0, Prefix.size(), Prefix) == 0) R.push_back(S);
    return R;
  }
  static HCURSOR CursorOf(TCursor C) { return Screen->GetCursors(C); }
};

TEST_F(VclDrag, ThePressStartsAndTheThresholdActivates) {
  Make();
  Press(130, 130);
  EXPECT_EQ(Logged("start"), (std::vector<String>{"start Src"}));
  EXPECT_TRUE(Src->Dragging());
  EXPECT_FALSE(GetDragActive());
  MoveTo(134, 126);  // 4 pixels: not yet
  EXPECT_FALSE(GetDragActive());
  MoveTo(135, 130);  // 5 pixels
  EXPECT_TRUE(GetDragActive());
  // Over the source itself (no OnDragOver): not accepted.
  EXPECT_EQ(::GetCursor(), CursorOf(crNoDrop));
  Release(135, 130);
  EXPECT_FALSE(Src->Dragging());
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src nil 0,0"}));
  EXPECT_TRUE(Logged("click").empty());  // a drag is no click
}

// The mouse's drag threshold is the one a press uses when none is given.
TEST_F(VclDrag, TheMouseDragThresholdIsTheDefault) {
  Mouse->SetDragThreshold(12);
  Make();
  Press(130, 130);
  MoveTo(140, 130);  // 10 pixels: not yet
  EXPECT_FALSE(GetDragActive());
  MoveTo(142, 130);
  EXPECT_TRUE(GetDragActive());
  Release(142, 130);
  EXPECT_EQ(Mouse->GetDragThreshold(), 12);
  Mouse->SetDragThreshold(5);
}

TEST_F(VclDrag, ReleasingBeforeTheThresholdIsAClickAndEndsTheDragWithoutTarget) {
  Make();
  Press(130, 130);
  MoveTo(132, 131);
  Release(132, 131);
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src nil 0,0"}));
  EXPECT_EQ(Logged("click"), (std::vector<String>{"click Src"}));
  EXPECT_TRUE(Logged("over").empty());
  EXPECT_FALSE(Src->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(VclDrag, TheTargetSeesEnterMoveLeaveAndTheDrop) {
  Make();
  Press(130, 130);
  MoveTo(260, 130);  // into the target at its (10, 20)
  EXPECT_EQ(::GetCursor(), CursorOf(crDrag));
  MoveTo(270, 140);
  MoveTo(200, 250);  // the form below: nothing accepts there
  EXPECT_EQ(::GetCursor(), CursorOf(crNoDrop));
  MoveTo(280, 150);
  Release(280, 150);
  EXPECT_EQ(Logged("over"), (std::vector<String>{"over Dst enter Src 10,20", "over Dst move Src 10,20",
                                                 "over Dst move Src 20,30", "over Dst leave Src -50,140",
                                                 "over Dst enter Src 30,40", "over Dst move Src 30,40",
                                                 "over Dst move Src 30,40"}));
  EXPECT_EQ(Logged("drop"), (std::vector<String>{"drop Dst Src 30,40"}));
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src Dst 30,40"}));
  // The target's window procedure saw it all as CM_DRAG: enter, move, move, leave, enter, move,
  // the last move (at the release) and the drop.
  EXPECT_EQ(Logged("cm_drag"), (std::vector<String>{"cm_drag 0", "cm_drag 2", "cm_drag 2", "cm_drag 1", "cm_drag 0",
                                                    "cm_drag 2", "cm_drag 2", "cm_drag 3"}));
  EXPECT_EQ(GetDragControl(), nullptr);
}

TEST_F(VclDrag, ARefusedDropLeavesTheTargetAndEndsWithoutOne) {
  Make();
  Accept = false;
  Press(130, 130);
  MoveTo(260, 130);
  EXPECT_EQ(::GetCursor(), CursorOf(crNoDrop));
  Release(260, 130);
  EXPECT_EQ(Logged("over"), (std::vector<String>{"over Dst enter Src 10,20", "over Dst move Src 10,20",
                                                 "over Dst move Src 10,20", "over Dst leave Src 10,20"}));
  EXPECT_TRUE(Logged("drop").empty());
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src nil 0,0"}));
}

TEST_F(VclDrag, EscapeCancelsAndTheReleaseThenDropsNothing) {
  Make();
  Press(130, 130);
  MoveTo(260, 130);
  Display()->InjectKey(VK_ESCAPE, true);
  Display()->InjectKey(VK_ESCAPE, false);
  Pump();
  EXPECT_FALSE(Src->Dragging());
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src nil 0,0"}));
  EXPECT_EQ(Logged("over").back(), "over Dst leave Src 10,20");
  Release(260, 130);
  EXPECT_TRUE(Logged("drop").empty());
  EXPECT_EQ(Logged("end").size(), 1u);
  // The keys reach the controls again.
  Src->OnKeyDown = [](TObject*, Word& Key, TShiftState) { VclLog().push_back("key " + IntToStr(Key)); };
  Display()->InjectKey('A', true);
  Display()->InjectKey('A', false);
  Pump();
  EXPECT_EQ(Logged("key"), (std::vector<String>{"key 65"}));
}

TEST_F(VclDrag, CancelDragAndEndDragFromCode) {
  Make();
  Src->SetDragMode(dmManual);
  Src->BeginDrag(true);  // immediate: active at once
  EXPECT_TRUE(GetDragActive());
  auto* Object = dynamic_cast<TDragControlObject*>(GetDragObject());
  ASSERT_NE(Object, nullptr);
  EXPECT_EQ(Object->GetControl(), Src);
  CancelDrag();
  EXPECT_FALSE(Src->Dragging());
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src nil 0,0"}));
  // A handler of OnStartDrag may cancel the start: no drag, no end.
  VclLog().clear();
  Src->OnStartDrag = [](TObject*, TDragObject*&) { CancelDrag(); };
  Src->BeginDrag(true);
  EXPECT_FALSE(Src->Dragging());
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_TRUE(Logged("end").empty());
  // EndDrag(true) drops where the pointer is.
  Src->OnStartDrag = nullptr;
  MoveTo(270, 140);
  Src->BeginDrag(true);
  MoveTo(271, 141);
  Src->EndDrag(true);
  EXPECT_EQ(Logged("drop"), (std::vector<String>{"drop Dst Src 21,31"}));
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src Dst 21,31"}));
}

TEST_F(VclDrag, AnObjectFromOnStartDragIsTheSourceTheTargetSees) {
  Make();
  TDragObject Own;
  Src->OnStartDrag = [&](TObject*, TDragObject*& O) { O = &Own; };
  Press(130, 130);
  EXPECT_EQ(GetDragObject(), &Own);
  MoveTo(260, 130);
  Release(260, 130);
  EXPECT_EQ(Logged("drop"), (std::vector<String>{"drop Dst object 10,20"}));
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src Dst 10,20"}));
  EXPECT_TRUE(Own.GetDropped());
  EXPECT_FALSE(Own.GetCancelling());
}

TEST_F(VclDrag, TheDragImageFollowsThePointerWhereTheTargetShowsIt) {
  TImageBox* S = Make<TImageBox>();
  Dst->SetControlStyle(Dst->GetControlStyle() | csDisplayDragImage);
  Press(130, 130);
  EXPECT_FALSE(S->Images->GetDragging());
  MoveTo(260, 130);
  ASSERT_TRUE(S->Images->GetDragging());
  HWND W = S->Images->GetDragWindow();
  ASSERT_NE(W, nullptr);
  EXPECT_TRUE(IsWindowVisible(W));
  RECT R{};
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Bounds(258, 127, 10, 10));
  // The image window is not what the pointer finds.
  EXPECT_EQ(FindDragTarget(Point(260, 130), false), Dst);
  MoveTo(200, 250);  // the form does not show drag images
  EXPECT_FALSE(IsWindowVisible(W));
  MoveTo(265, 135);
  EXPECT_TRUE(IsWindowVisible(W));
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Bounds(263, 132, 10, 10));
  Release(265, 135);
  EXPECT_FALSE(S->Images->GetDragging());
  EXPECT_FALSE(IsWindow(W));
  EXPECT_EQ(Logged("drop").size(), 1u);
}

TEST_F(VclDrag, TheSourceGoingAwayEndsTheDragQuietly) {
  Make();
  Press(130, 130);
  MoveTo(260, 130);
  delete Src;
  Src = nullptr;
  EXPECT_EQ(GetDragObject(), nullptr);
  // The target hears the drag leave, with no source any more.
  EXPECT_EQ(Logged("over").back(), "over Dst leave nil 10,20");
  MoveTo(270, 140);
  Release(270, 140);
  EXPECT_TRUE(Logged("drop").empty());
  EXPECT_TRUE(Logged("end").empty());
}

TEST_F(VclDrag, ADisabledControlIsNoTarget) {
  Make();
  Dst->SetEnabled(false);
  Press(130, 130);
  MoveTo(260, 130);
  Release(260, 130);
  EXPECT_TRUE(Logged("over").empty());
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end Src nil 0,0"}));
}

TEST_F(VclDrag, AFormIsNoSourceAndFreeingTheSourceWhenTheDragEndsIsSafe) {
  Make();
  EXPECT_THROW(Form->BeginDrag(true), EInvalidOperation);
  EXPECT_EQ(GetDragObject(), nullptr);
  // Released before the threshold: the end handler frees the source, so no click follows.
  Src->OnEndDrag = [this](TObject*, TObject*, int, int) {
    TBox** Slot = &Src;  // the handler goes with the control: nothing of it is used after
    VclLog().push_back("end");
    delete *Slot;
    *Slot = nullptr;
  };
  Press(130, 130);
  Release(130, 130);
  EXPECT_EQ(Src, nullptr);
  EXPECT_EQ(Logged("end"), (std::vector<String>{"end"}));
  EXPECT_TRUE(Logged("click").empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(VclDrag, ADragImageListShowsMovesLocksAndEndsItsWindow) {
  TImageBox Owner(nullptr);
  TDragImageList* L = Owner.Images;
  EXPECT_FALSE(L->SetDragImage(1, 0, 0));  // no such image: the old one stays
  EXPECT_EQ(L->GetHotSpot(), Point(2, 3));
  EXPECT_FALSE(L->DragMove(1, 1));          // not dragging
  ASSERT_TRUE(L->BeginDrag(GetDesktopWindow(), 50, 60));
  HWND W = L->GetDragWindow();
  RECT R{};
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Bounds(48, 57, 10, 10));
  EXPECT_TRUE(IsWindowVisible(W));
  EXPECT_TRUE(L->DragMove(70, 80));
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Bounds(68, 77, 10, 10));
  L->DragUnlock();
  EXPECT_FALSE(IsWindowVisible(W));
  EXPECT_TRUE(L->DragLock(nullptr, 20, 30));
  EXPECT_TRUE(IsWindowVisible(W));
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Bounds(18, 27, 10, 10));
  EXPECT_TRUE(L->EndDrag());
  EXPECT_FALSE(IsWindow(W));
  EXPECT_FALSE(L->EndDrag());
  L->Clear();
  EXPECT_FALSE(L->BeginDrag(nullptr, 0, 0)) << "nothing to show";
}

TEST_F(VclDrag, AListBoxReordersItsItemsByDragging) {
  TForm* F = NewForm(100, 100, 300, 200);
  auto* L = Add<TReorderList>(F, "List", 10, 10, 150, 150);
  for (const char* S : {"zero", "one", "two", "three", "four", "five"}) L->GetItems()->Add(S);
  F->Show();
  Pump();
  auto Centre = [&](int I) {
    TRect R = L->ItemRect(I);
    return L->ClientToScreen(Point(20, (R.top + R.bottom) / 2));
  };
  // Item 2 dropped onto item 5 lands at index 4.
  TPoint From = Centre(2), To = Centre(5);
  Display()->InjectMouseMove(From.x, From.y);
  Display()->InjectButton(From.x, From.y, 1, true);
  Pump();
  EXPECT_EQ(L->GetItemIndex(), 2);
  Display()->InjectMouseMove(To.x, To.y - 3);
  Pump();
  ASSERT_TRUE(L->Images && L->Images->GetDragging());
  EXPECT_TRUE(IsWindowVisible(L->Images->GetDragWindow()));
  EXPECT_EQ(::GetCursor(), Screen->GetCursors(crDrag));
  Display()->InjectMouseMove(To.x, To.y);
  Display()->InjectButton(To.x, To.y, 1, false);
  Pump();
  EXPECT_EQ(L->GetItems()->GetCommaText(), "zero,one,three,four,two,five");
  EXPECT_FALSE(L->Images->GetDragging());
  // Below the last item: appended. Near the bottom edge the image was hidden for the scroll.
  From = Centre(0);
  TPoint Below = L->ClientToScreen(Point(20, L->GetClientHeight() - 3));
  Display()->InjectMouseMove(From.x, From.y);
  Display()->InjectButton(From.x, From.y, 1, true);
  Display()->InjectMouseMove(Below.x, Below.y);
  Display()->InjectButton(Below.x, Below.y, 1, false);
  Pump();
  EXPECT_EQ(L->GetItems()->GetCommaText(), "one,three,four,two,five,zero");
  EXPECT_GT(L->ScrollHides, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
