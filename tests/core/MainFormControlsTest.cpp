#include <gtest/gtest.h>

#include <string>

#include "MainFormTestSupport.h"
#include "core/qv_functions.h"

namespace {

using mainformtest::TMainFormTest;

class MainFormControls : public TMainFormTest {};

template <class T>
void ExpectNamed(TComponent* Owner, const char* Name, bool Visible)
{
  SCOPED_TRACE(Name);
  TComponent* C = Owner->FindComponent(Name);
  ASSERT_NE(C, nullptr);
  auto* Control = dynamic_cast<T*>(C);
  ASSERT_NE(Control, nullptr) << "wrong class";
  EXPECT_EQ(Control->GetVisible(), Visible);
}

TEST_F(MainFormControls, NamesClassesAndVisibility)
{
  ExpectNamed<TXcStringGrid>(Form, "tempgrid", false);
  ExpectNamed<TXcPlaylist>(Form, "playlist", false);
  ExpectNamed<TXcEdit>(Form, "Edit1", false);
  ExpectNamed<TskSkinMemo>(Form, "log", false);
  ExpectNamed<TskSkinStdLabel>(Form, "status", true);
  ExpectNamed<TskSkinGauge>(Form, "progressbar1", true);
  ExpectNamed<TskSkinStatusPanel>(Form, "spaceleft", true);
  ExpectNamed<TskSkinListBox>(Form, "devicelist", true);
  ExpectNamed<TskSkinListBox>(Form, "skSkinListBox1", false);
  ExpectNamed<TXcPanel>(Form, "cbuttons", false);
  ExpectNamed<TskSkinButton>(Form, "b1", true);
  ExpectNamed<TskSkinSpeedButton>(Form, "skip2", false);
  ExpectNamed<TskSkinComboBox>(Form, "profilebox", true);
  ExpectNamed<TskSkinComboBox>(Form, "combobox7", true);
  ExpectNamed<TskSkinSpinEdit>(Form, "skSkinSpinEdit6", false);
  EXPECT_EQ(Form->progressbar1->GetMinValue(), 0);
  EXPECT_EQ(Form->progressbar1->GetMaxValue(), 100);
  EXPECT_EQ(Form->combobox4->GetItemIndex(), 24);
  EXPECT_EQ(Form->prioritybox1->GetText(), "Conversion Priority : NORMAL");
  EXPECT_EQ(Form->fpstext->GetText(), "60000/1001");
  auto* History = new TForm3(nullptr);
  ExpectNamed<TskSkinListBox>(History, "track", true);
  delete History;
}

TEST_F(MainFormControls, RadioGroupsKeepOneTicked)
{
  Form->radiobutton1->SetChecked(true);
  Form->radiobutton12->SetChecked(true);
  EXPECT_FALSE(Form->radiobutton1->GetChecked());
  EXPECT_TRUE(Form->radiobutton6->GetChecked());
  Form->checkbox8->SetChecked(true);
  EXPECT_FALSE(Form->radiobutton6->GetChecked());
  EXPECT_TRUE(Form->radiobutton12->GetChecked());  // another group
}

TEST_F(MainFormControls, FreeSpaceTextGoesToItsPanel)
{
  ShowDriveFreeSpace("/");
  EXPECT_FALSE(Form->spaceleft->GetCaption().empty());
}

}  // namespace
