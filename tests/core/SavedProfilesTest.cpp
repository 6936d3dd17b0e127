#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "core/GridFiles.h"
#include "core/SavedProfiles.h"
#include "core/qv_settings.h"
#include "platform/vcl/Dialogs.h"

namespace {

using mainformtest::TMainFormTest;

TEST(SavedProfileNames, OnlyNamesThatStayInTheProfilesFolder)
{
  const struct {
    const char* Name;
    bool Usable;
  } Cases[] = {
      {"Phone", true},          {"My phone (2)", true}, {"-dash", true},  {"", false},
      {"   ", false},           {"a/b", false},         {"a\\b", false},  {"..", false},
      {"x..y", false},          {"../etc/passwd", false}, {"/abs", false},
      {"two\nlines", false},    {"tab\tname", false},   {"del\x7f", false},
      {"caf\xc3\xa9", true},
  };
  for (const auto& C : Cases) EXPECT_EQ(ProfileNameUsable(C.Name), C.Usable) << '"' << C.Name << '"';
  // With ".prf" the file name must fit in 250 bytes.
  EXPECT_TRUE(ProfileNameUsable(std::string(246, 'p')));
  EXPECT_FALSE(ProfileNameUsable(std::string(247, 'p')));
  EXPECT_FALSE(ProfileNameUsable(std::string(300, 'p')));
}

class SavedProfiles : public TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    WorkFolder = Dir + "work/";
    std::filesystem::create_directories(WorkFolder + "profiles");
    SetDialogHandler([this](TDialogRequest& R) {
      Asked.push_back(R.Caption + "|" + R.Text);
      if (R.Kind == TDialogRequest::dkInput) {
        if (Typed.empty()) return static_cast<int>(mrCancel);
        R.Value = Typed;
        return static_cast<int>(mrOk);
      }
      return Answer;
    });
  }
  void TearDown() override
  {
    SetDialogHandler(nullptr);
    TMainFormTest::TearDown();
  }
  void Queue(const char* Model)
  {
    Form->dq->SetCells(0, 1, Model);
    Form->dq->SetCells(1, 1, "320x240");
  }
  bool Exists(const std::string& Name) { return std::filesystem::exists(WorkFolder + "profiles/" + Name + ".prf"); }
  std::string ModelIn(const std::string& Name)
  {
    auto* G = NewGrid(21, 2);
    LoadGridText(G, WorkFolder + "profiles/" + Name + ".prf");
    return G->GetCells(0, 1);
  }
  std::vector<std::string> Asked;
  std::string Typed;
  int Answer = mrYes;
};

TEST_F(SavedProfiles, SaveOverwriteRenameDelete)
{
  Queue("iPod Video");
  Typed = "Phone";
  Form->skSkinSpeedButton10Click(Form);
  ASSERT_TRUE(Exists("Phone"));
  EXPECT_EQ(ModelIn("Phone"), "iPod Video");
  EXPECT_EQ(Form->profilebox->GetText(), "Phone");

  // Overwriting asks, and writes under the cleaned name (the old file stays).
  std::filesystem::copy_file(WorkFolder + "profiles/Phone.prf", WorkFolder + "profiles/my_set.prf");
  Queue("Zune");
  Typed = "my_set";
  Answer = mrNo;
  Form->skSkinSpeedButton10Click(Form);
  EXPECT_EQ(ModelIn("my_set"), "iPod Video");
  Answer = mrYes;
  Queue("Zune");
  Form->skSkinSpeedButton10Click(Form);
  EXPECT_EQ(ModelIn("my_set"), "iPod Video");
  EXPECT_NE(Asked.back().find("overwrite"), std::string::npos);

  // Renaming stores the current queue under the new name; the old file goes.
  Form->profilebox->SetItemIndex(Form->profilebox->GetItems()->IndexOf("Phone"));
  Queue("Walkman");
  Typed = "Music";
  Form->RenameProfile1Click(Form);
  EXPECT_FALSE(Exists("Phone"));
  EXPECT_EQ(ModelIn("Music"), "Walkman");

  Answer = mrNo;
  Form->DeleteProfile1Click(Form);
  EXPECT_TRUE(Exists("Music"));
  Answer = mrYes;
  Form->DeleteProfile1Click(Form);
  EXPECT_FALSE(Exists("Music"));
}

TEST_F(SavedProfiles, RefusedNamesWriteAndDeleteNothing)
{
  Queue("iPod Video");
  std::filesystem::create_directories(Dir + "outside");
  for (const char* Name : {"../../outside/x", "a/b", "..", "sub\\name"}) {
    SCOPED_TRACE(Name);
    Typed = Name;
    const size_t Before = Asked.size();
    Form->skSkinSpeedButton10Click(Form);
    Form->RenameProfile1Click(Form);
    EXPECT_GT(Asked.size(), Before + 2);  // told why
  }
  EXPECT_TRUE(std::filesystem::is_empty(WorkFolder + "profiles"));
  EXPECT_TRUE(std::filesystem::is_empty(Dir + "outside"));
}

TEST_F(SavedProfiles, RenameKeepsTheOldProfileUnlessTheNewOneWasWritten)
{
  Queue("Zune");
  Typed = "Phone";
  Form->skSkinSpeedButton10Click(Form);
  ASSERT_TRUE(Exists("Phone"));
  // A folder in the way of the new file, and a name too long for a file: both fail, "Phone" stays.
  std::filesystem::create_directories(WorkFolder + "profiles/Blocked.prf");
  for (const std::string& Name : {std::string("Blocked"), std::string(300, 'n')}) {
    SCOPED_TRACE(Name.size());
    Form->profilebox->SetItemIndex(Form->profilebox->GetItems()->IndexOf("Phone"));
    ASSERT_EQ(Form->profilebox->GetText(), "Phone");
    Queue("Walkman");
    Typed = Name;
    const size_t Before = Asked.size();
    Form->RenameProfile1Click(Form);
    EXPECT_GT(Asked.size(), Before + 1);  // told why
    EXPECT_TRUE(Exists("Phone"));
    EXPECT_EQ(ModelIn("Phone"), "Zune");
  }
  // Renaming to the same name keeps the file, now with the current queue.
  Form->profilebox->SetItemIndex(Form->profilebox->GetItems()->IndexOf("Phone"));
  Queue("Walkman");
  Typed = "Phone";
  Form->RenameProfile1Click(Form);
  EXPECT_EQ(ModelIn("Phone"), "Walkman");
}

TEST_F(SavedProfiles, ChoosingAProfileLoadsItsQueue)
{
  Queue("Zune");
  Typed = "A";
  Form->skSkinSpeedButton10Click(Form);
  Queue("iPod Video");
  Typed = "B";
  Form->skSkinSpeedButton10Click(Form);
  EXPECT_EQ(Form->dq->GetCells(0, 1), "iPod Video");
  Form->profilebox->SetItemIndex(Form->profilebox->GetItems()->IndexOf("A"));
  EXPECT_EQ(Form->dq->GetCells(0, 1), "Zune");
}

}  // namespace

namespace {

TEST_F(SavedProfiles, OverwritingWritesOnlyAfterYes)
{
  const struct {
    const char* Name;
    int Answer;
    const char* Written;  // the file that holds the queue afterwards
    const char* Model;    // its first device
  } Cases[] = {
      {"Phone", mrYes, "Phone", "Zune"},
      {"Phone", mrNo, "Phone", "iPod Video"},
      {"my_set", mrYes, "My Set", "Zune"},  // a new file under the cleaned name
      {"my_set", mrNo, "my_set", "iPod Video"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Name) + (C.Answer == mrYes ? " yes" : " no"));
    std::filesystem::remove_all(WorkFolder + "profiles");
    std::filesystem::create_directories(WorkFolder + "profiles");
    Queue("iPod Video");
    Typed = C.Name;
    Form->skSkinSpeedButton10Click(Form);
    ASSERT_EQ(ModelIn(C.Name), "iPod Video");
    Queue("Zune");
    Answer = C.Answer;
    Form->skSkinSpeedButton10Click(Form);
    EXPECT_NE(Asked.back().find("You want to overwrite the selected profile?"), std::string::npos);
    EXPECT_EQ(ModelIn(C.Written), C.Model);
    if (std::string(C.Written) != C.Name) {
      EXPECT_EQ(ModelIn(C.Name), "iPod Video");
    }
  }
}

TEST_F(SavedProfiles, AProfileThatCannotBeLoadedIsNotListedAndTheUserIsTold)
{
  std::vector<std::string> Reports;
  SetSettingsMessageProc([&](const String& Text) { Reports.push_back(Text); });
  for (const char* Name : {"Good", "a..b", "..", "Other"}) {
    Queue("Zune");
    SaveGridText(Form->dq, WorkFolder + "profiles/" + Name + ".prf");
  }
  LoadProfileList();
  std::vector<std::string> Listed = Items(Form->profilebox->GetItems());
  std::sort(Listed.begin(), Listed.end());
  EXPECT_EQ(Listed, (std::vector<std::string>{"Good", "Other"}));
  ASSERT_EQ(Reports.size(), 2u);
  for (const std::string& R : Reports) EXPECT_NE(R.find("is not listed"), std::string::npos) << R;
  SetSettingsMessageProc(nullptr);

  // A name typed into the box that cannot be a profile's is refused with a message.
  const size_t Before = Asked.size();
  Form->profilebox->SetText("../x");
  Form->profileboxChange(Form);
  ASSERT_GT(Asked.size(), Before);
  EXPECT_NE(Asked.back().find("cannot be loaded"), std::string::npos);
}

// A profile's numeric cells are checked for every device row when it is loaded, not only for
// the row shown.
TEST_F(SavedProfiles, LoadingNamesEveryDeviceCellThatIsNoNumber)
{
  Form->dq->SetRowCount(4);
  const char* Rows[][3] = {{"Phone", "800", "128"}, {"Player", "800k -f mp4 -y victim.txt", "128"}, {"Tablet", "900", "64\n-x"}};
  for (int R = 1; R <= 3; ++R) {
    Form->dq->SetCells(0, R, Rows[R - 1][0]);
    Form->dq->SetCells(1, R, "320x240");
    Form->dq->SetCells(2, R, Rows[R - 1][1]);
    Form->dq->SetCells(3, R, Rows[R - 1][2]);
  }
  SaveGridText(Form->dq, WorkFolder + "profiles/Mixed.prf");
  Form->dq->SetRowCount(2);
  Form->profilebox->SetText("Mixed");
  Form->dq->SetRow(1);
  Asked.clear();
  Form->profileboxChange(Form);
  std::string Said;
  for (const std::string& A : Asked) Said += A + "\n";
  EXPECT_NE(Said.find("Device 2: \"800k -f mp4 -y victim.txt\" in column 2 is not a whole number"), std::string::npos) << Said;
  EXPECT_NE(Said.find("Device 3: \"64 -x\" in column 3 is not a whole number"), std::string::npos) << Said;
  EXPECT_EQ(Said.find("Device 1:"), std::string::npos) << Said;
}

}  // namespace
