// Shared set-up of the skinned list tests: a skinned scroll bar double that the lists create in
// place of the program's bar (it clamps like the real one and raises OnChange on SetPosition),
// the maker that hands it out, and a list box whose protected parts the tests reach.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "skin/input/SkinCheckListBox.h"
#include "skin/input/SkinListBox.h"
#include "tests/skin/support/SkinTestSupport.h"

class TListTestBar : public TskSkinControl, public IskScrollBarLink {
public:
  TListTestBar(TComponent* AOwner, TskScrollBarKind AKind) : TskSkinControl(AOwner), Kind(AKind) {}
  TComponent* LinkComponent() override { return this; }
  int GetMin() const override { return Min; }
  int GetMax() const override { return Max; }
  int GetPageSize() const override { return Page; }
  int GetPosition() const override { return Pos; }
  void SetPosition(int Value) override
  {
    const int old = Pos;
    Pos = Clamp(Value);
    if (Pos != old && OnChange)
      OnChange(this);
  }
  void SetPositionSilent(int Value) override { Pos = Clamp(Value); }
  void SetRange(int AMin, int AMax, int APosition, int APageSize) override
  {
    Min = AMin;
    Max = AMax;
    Page = APageSize;
    Pos = Clamp(APosition);
  }
  int GetSmallChange() const override { return Small; }
  void SetSmallChange(int Value) override { Small = Value; }
  int GetLargeChange() const override { return Large; }
  void SetLargeChange(int Value) override { Large = Value; }
  bool GetBarVisible() override { return GetVisible(); }
  void SetBarVisible(bool Value) override { SetVisible(Value); }
  void SetBarEnabled(bool Value) override { SetEnabled(Value); }
  bool GetBoth() const override { return Both; }
  void SetBoth(bool Value) override { Both = Value; }

  TskScrollBarKind Kind;
  int Min = 0, Max = 100, Page = 0, Pos = 0, Small = 1, Large = 1;
  bool Both = false;
  String BothName;

private:
  int Clamp(int V) const
  {
    const int hi = Page == 0 ? Max : Max - Page + 1;
    return std::max(Min, std::min(hi, V));
  }
};

class TListTestBarMaker : public IskListScrollBarMaker {
public:
  IskScrollBarLink* CreateBar(TComponent* Owner, TskScrollBarKind Kind) override
  {
    ++Made;
    return new TListTestBar(Owner, Kind);
  }
  void SetBothLook(IskScrollBarLink* Bar, const String& BothSkinDataName, int) override
  {
    static_cast<TListTestBar*>(Bar)->BothName = BothSkinDataName;
  }
  int Made = 0;
};

// Reaches the protected parts of the list frame.
class TTestListBox : public TskSkinListBox {
public:
  using TskSkinListBox::TskSkinListBox;
  using TskSkinListFrame::CMMouseLeave;
  using TskSkinListFrame::MouseDown;
  using TskSkinListFrame::MouseMove;
  using TskSkinListFrame::MouseUp;
  std::function<void(TMessage&, bool&)> Hook;
  void ListBoxWProc(TMessage& Message, bool& PassOn) override
  {
    TskSkinListBox::ListBoxWProc(Message, PassOn);
    if (Hook)
      Hook(Message, PassOn);
  }
};

class TTestCheckListBox : public TskSkinCheckListBox {
public:
  using TskSkinCheckListBox::TskSkinCheckListBox;
  using TskSkinListFrame::MouseDown;
  using TskSkinListFrame::MouseUp;
};

class SkinListTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Previous = SetListScrollBarMaker(&Maker);
  }
  void TearDown() override
  {
    TSkinControlTest::TearDown();
    SetListScrollBarMaker(Previous);
  }

  TListTestBar* Bar(IskScrollBarLink* Link) { return static_cast<TListTestBar*>(Link); }

  // Sends a mouse message to Control at (X, Y) of its client area.
  static void Mouse(TWinControl* Control, UINT Msg, int X, int Y, WPARAM Keys = MK_LBUTTON)
  {
    Control->Perform(Msg, Keys, MAKELPARAM(X, Y));
  }
  static void Click(TWinControl* Control, int X, int Y)
  {
    Mouse(Control, WM_LBUTTONDOWN, X, Y);
    Mouse(Control, WM_LBUTTONUP, X, Y, 0);
  }
  static void Key(TWinControl* Control, Word K) { Control->Perform(WM_KEYDOWN, K, 0); }
  static void Char(TWinControl* Control, char C) { Control->Perform(WM_CHAR, static_cast<unsigned char>(C), 0); }

  TListTestBarMaker Maker;
  IskListScrollBarMaker* Previous = nullptr;
};
