// The skinned spin edit: setting the value from code (clamping, formatting, one OnChange per
// set), typing (the text rules, invalid text, text replaced when it cannot reach the range),
// stepping by keys, wheel and buttons with the auto-repeat, and the layout of the default look.
#include "platform/rtl/Convert.h"
#include "platform/rtl/MathUtils.h"
#include "skin/input/SkinSpinEdit.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

class SkinSpinEdit : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 300, 120);
    Spin = Add<TskSkinSpinEdit>(Form, "Spin", 10, 10, 120, 20);
    Spin->OnChange = [this](TObject*) { ++Changes; };
    Form->Show();
    Pump();
  }
  void Focus()
  {
    Spin->GetEdit()->SetFocus();
    Pump();
  }
  String Shown() { return Spin->GetEdit()->GetText(); }
  // Replaces the edit's text as the user would: all selected, then typed.
  void Retype(const String& Text)
  {
    Spin->GetEdit()->SelectAll();
    Type(Text);
  }

  TForm* Form = nullptr;
  TskSkinSpinEdit* Spin = nullptr;
  int Changes = 0;
};

TEST_F(SkinSpinEdit, StartsAtZeroWithoutAnEvent)
{
  auto* fresh = Add<TskSkinSpinEdit>(Form, "Fresh", 10, 40, 120, 20);
  EXPECT_EQ(fresh->GetValue(), 0);
  EXPECT_EQ(fresh->GetEdit()->GetText(), "0");
  EXPECT_EQ(Changes, 0);
}

TEST_F(SkinSpinEdit, EverySetFromCodeFiresOnChangeOnceAndShowsTheClampedValue)
{
  const struct {
    const char* Name;
    double Min, Max;
    TskValueType Type;
    double Set;
    double Value;
    const char* Text;
  } cases[] = {
      {"no limits, halves to even", 0, 0, vtInteger, -7.5, -7.5, "-8"},
      {"no limits, 2.5", 0, 0, vtInteger, 2.5, 2.5, "2"},
      {"above the maximum", 1, 10, vtInteger, 15, 10, "10"},
      {"below the minimum", 1, 10, vtInteger, -3, 1, "1"},
      {"fraction", 0, 0, vtFloat, 1, 1, "1.00"},
      {"crossed limits test the lower first", 10, 1, vtInteger, 5, 10, "10"},
  };
  for (const auto& c : cases) {
    Spin->SetMinValue(0);
    Spin->SetMaxValue(0);
    Spin->SetValueType(c.Type);
    Spin->SetMinValue(c.Min);
    Spin->SetMaxValue(c.Max);
    Changes = 0;
    Spin->SetValue(c.Set);
    EXPECT_EQ(Spin->GetValue(), c.Value) << c.Name;
    EXPECT_EQ(Shown(), c.Text) << c.Name;
    EXPECT_EQ(Changes, 1) << c.Name;
    Spin->SetValue(c.Set);
    EXPECT_EQ(Changes, 2) << c.Name << ": the same value fires again";
  }
}

TEST_F(SkinSpinEdit, LoweringTheMaximumBelowTheValueSetsTheValue)
{
  Spin->SetValue(8);
  Changes = 0;
  Spin->SetMaxValue(3);
  EXPECT_EQ(Spin->GetValue(), 3);
  EXPECT_EQ(Changes, 1);
  Spin->SetMaxValue(20);
  EXPECT_EQ(Spin->GetValue(), 3);
  EXPECT_EQ(Changes, 1);
}

TEST_F(SkinSpinEdit, ASetInsideOnChangeOnlyUpdatesTheText)
{
  int inner = 0;
  Spin->OnChange = [&](TObject*) {
    ++inner;
    if (inner == 1)
      Spin->SetValue(42);
  };
  Spin->SetValue(7);
  EXPECT_EQ(inner, 1);
  EXPECT_EQ(Spin->GetValue(), 42);
  EXPECT_EQ(Shown(), "42");
}

TEST_F(SkinSpinEdit, TypingBeyondTheMaximumShowsTheMaximum)
{
  Spin->SetMaxValue(20);
  Focus();
  Changes = 0;
  Retype("2");
  EXPECT_EQ(Spin->GetValue(), 2);
  EXPECT_EQ(Shown(), "2");
  Type("5");
  EXPECT_EQ(Spin->GetValue(), 20);
  EXPECT_EQ(Shown(), "20");
  EXPECT_EQ(Changes, 2);
}

TEST_F(SkinSpinEdit, TypingBelowTheMinimumKeepsTheTextUntilTheEditIsLeft)
{
  Spin->SetMinValue(5);
  Spin->SetMaxValue(50);
  Spin->SetValue(20);
  Focus();
  Changes = 0;
  Retype("1");
  EXPECT_EQ(Shown(), "1") << "15 can still be typed";
  EXPECT_EQ(Spin->GetValue(), 5);
  EXPECT_EQ(Changes, 1);
  Add<TskSkinSpinEdit>(Form, "Other", 10, 40, 120, 20)->GetEdit()->SetFocus();
  Pump();
  EXPECT_EQ(Shown(), "5");
}

// Text that is no number of the value type never raises: the value keeps its last valid value.
TEST_F(SkinSpinEdit, InvalidTextKeepsTheValue)
{
  const struct {
    const char* Name;
    TskValueType Type;
    const char* Text;
    bool Converts;  // passes the text check, fails only the conversion
  } cases[] = {
      {"empty", vtInteger, "", false},
      {"minus alone", vtInteger, "-", false},
      {"minus inside", vtInteger, "1-2", false},
      {"separator first", vtFloat, ".5", false},
      {"two separators", vtFloat, "1.2.3", false},
      {"beyond 32 bits", vtInteger, "99999999999", true},
      {"letters", vtInteger, "12a", false},
  };
  for (const auto& c : cases) {
    Spin->SetValueType(c.Type);
    Spin->SetValue(3);
    Changes = 0;
    EXPECT_NO_THROW(Spin->GetEdit()->SetText(c.Text)) << c.Name;
    EXPECT_EQ(Spin->GetValue(), 3) << c.Name;
    EXPECT_EQ(Changes, 0) << c.Name;
    EXPECT_EQ(Spin->IsValidText(c.Text), c.Converts) << c.Name;
  }
  Spin->SetValueType(vtFloat);
  EXPECT_TRUE(Spin->IsValidText("-0.5"));
  EXPECT_TRUE(Spin->IsValidText("5."));
}

TEST_F(SkinSpinEdit, ArrowKeysAndTheWheelStepByTheIncrement)
{
  Spin->SetIncrement(5);
  Focus();
  std::vector<String> log;
  Spin->OnChange = [&](TObject*) { log.push_back("change " + IntToStr(Round(Spin->GetValue()))); };
  Spin->OnUpButtonClick = [&](TObject*) { log.push_back("up"); };
  Spin->OnDownButtonClick = [&](TObject*) { log.push_back("down"); };
  KeyStroke(VK_UP);
  KeyStroke(VK_DOWN);
  SendMessageA(Spin->GetEdit()->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(log, (std::vector<String>{"change 5", "up", "change 0", "down", "change 5", "up"}));
}

TEST_F(SkinSpinEdit, IntegerTypeRoundsTheIncrement)
{
  Spin->SetValueType(vtFloat);
  Spin->SetIncrement(0.4);
  Spin->SetValueType(vtInteger);
  EXPECT_EQ(Spin->GetIncrement(), 1) << "0 becomes 1";
  Spin->SetValueType(vtFloat);
  Spin->SetIncrement(2.5);
  Spin->SetValueType(vtInteger);
  EXPECT_EQ(Spin->GetIncrement(), 2);
}

TEST_F(SkinSpinEdit, TheDefaultLookPlacesTheButtonsAtTheRight)
{
  EXPECT_EQ(Spin->GetButtonRect(0), Rect(103, 2, 118, 10));
  EXPECT_EQ(Spin->GetButtonRect(1), Rect(103, 10, 118, 18));
  EXPECT_EQ(Spin->GetEdit()->GetLeft(), 2);
  EXPECT_EQ(Spin->GetEdit()->GetWidth(), 101);
}

TEST_F(SkinSpinEdit, HoldingAButtonRepeatsAfterTheFirstTick)
{
  const TRect down = Spin->GetButtonRect(1);
  const TPoint at = Spin->ClientToScreen(Point((down.left + down.right) / 2, (down.top + down.bottom) / 2));
  const TPoint off = Spin->ClientToScreen(Point(10, 10));
  Spin->SetValue(100);
  Changes = 0;
  int clicks = 0;
  Spin->OnDownButtonClick = [&](TObject*) { ++clicks; };
  Display()->InjectMouseMove(at.x, at.y);
  Display()->InjectButton(at.x, at.y, 1, true);
  Pump();
  Clock->Advance(500);
  Pump();
  EXPECT_EQ(Spin->GetValue(), 100) << "the first tick steps nothing";
  Clock->Advance(100);
  Pump();
  EXPECT_EQ(Spin->GetValue(), 99);
  Clock->Advance(100);
  Pump();
  EXPECT_EQ(Spin->GetValue(), 98);
  Display()->InjectButton(at.x, at.y, 1, false);
  Pump();
  EXPECT_EQ(Spin->GetValue(), 97) << "one more step on release over the button";
  EXPECT_EQ(Changes, 3);
  EXPECT_EQ(clicks, 1) << "repeat steps fire no button event";

  // Released off the button: no step.
  Display()->InjectButton(at.x, at.y, 1, true);
  Pump();
  Display()->InjectMouseMove(off.x, off.y);
  Display()->InjectButton(off.x, off.y, 1, false);
  Pump();
  EXPECT_EQ(Spin->GetValue(), 97);
  EXPECT_EQ(clicks, 1);
}

} // namespace
