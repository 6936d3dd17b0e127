// The skinned open dialog on a real X server (Xvfb) through the X11 backend, the user's clicks
// and keys played with XTest: three clips chosen with Ctrl+click in the details view, and a
// typed name accepted with Enter. The dialog is kept as a PNG beside the gallery.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "platform/win/WinUser.h"
#include "skin/controls/SkinButton.h"
#include "skin/input/SkinEdit.h"
#include "skin/shell/SkinOpenDialog.h"
#include "skin/shell/SkinShellListView.h"
#include "tests/extctrls/XTestInput.h"
#include "tests/skin/shell/FileCtrlTestSupport.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_SKIN_OPEN_DIALOG_X11";

// The screen point at the middle of row Index of the file list.
TPoint RowPoint(TskSkinFileListView* List, int Index)
{
  const TRect r = List->GetItems()->GetItem(Index)->DisplayRect(drLabel);
  return List->ClientToScreen(TPoint{r.left + 8, (r.top + r.bottom) / 2});
}

void ChooseClips(const char* Server, TDisplayBackend* Display)
{
  TXTestInput input(Server);
  ASSERT_TRUE(input.Ok());
  std::string pattern = testing::TempDir() + "quelvo-clips-XXXXXX";
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::string dir = pattern;
  const std::vector<std::string> clips = {"beach \"day\".avi", "city\\night.mkv", "-intro.mp4", "party.avi",
                                          "zoo.mpg"};
  for (const std::string& n : clips)
    std::ofstream(dir + "/" + n) << std::string(1000 + n.size(), 'v');
  std::filesystem::create_directories(dir + "/holiday");

  auto* holder = new TComponent(nullptr);
  TskSkinData* frameSkin = BuiltinSkinData(holder, TBuiltinSkin::bsFrame);
  TskSkinData* controls = BuiltinSkinData(holder, TBuiltinSkin::bsControls);
  auto* stepper = new filetest::TStepWindow(nullptr);
  stepper->HandleNeeded();

  TskSkinOpenDialog d(nullptr);
  d.SetSkinData(frameSkin);
  d.SetCtrlSkinData(controls);
  d.MultiSelection = true;
  d.Title = "Select File(s)";
  d.SetFileName("Filename");
  d.Filter = "Supported Files|*.avi;*.mkv;*.mp4;*.mpg|All Files|*.*";
  d.ViewStyle = 3;
  d.InitialDir = dir;

  // Three clips with Ctrl+click, then Open.
  stepper->Step = [&] {
    TskOpenDlgForm* f = d.GetOpenForm();
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return f->GetVisible(); }));
    PumpDisplay(Display, 20);
    TskSkinFileListView* list = f->FileList;
    ASSERT_EQ(list->FolderCount(), 6);  // the folder first, then the five clips
    TPoint p = RowPoint(list, 1);
    input.Click(p.x, p.y, 1);
    p = RowPoint(list, 3);
    input.Click(p.x, p.y, 1, TXTestInput::Control);
    p = RowPoint(list, 5);
    input.Click(p.x, p.y, 1, TXTestInput::Control);
    EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return list->GetSelCount() == 3; })) << list->GetSelCount();
    PumpDisplay(Display, 20);
    const String shot = String(QV_TEST_BIN_DIR) + "/../skin-open-dialog.png";
    DeleteFile(shot);
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(f->GetHandle()), shot));
    const TPoint open = f->OpenButton->ClientToScreen(TPoint{20, 10});
    input.Click(open.x, open.y, 1);
    if (!PumpDisplayUntil(Display, [&] { return f->GetModalResult() != mrNone; }))
      f->SetModalResult(mrCancel);
  };
  stepper->PostStep();
  EXPECT_TRUE(d.Execute());
  std::vector<std::string> files;
  for (int i = 0; i < d.GetFiles()->GetCount(); ++i)
    files.push_back(d.GetFiles()->Get(i));
  // Rows: the folder, then "-intro.mp4", "beach...", "city\\night.mkv", "party.avi", "zoo.mpg".
  EXPECT_EQ(files, (std::vector<std::string>{dir + "/-intro.mp4", dir + "/city\\night.mkv", dir + "/zoo.mpg"}));
  EXPECT_EQ(d.GetFileName(), files[0]);

  // A typed name, accepted with Enter.
  stepper->Step = [&] {
    TskOpenDlgForm* f = d.GetOpenForm();
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return f->GetVisible(); }));
    f->FileNameEdit->SetFocus();
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return f->FileNameEdit->Focused(); }));
    f->FileNameEdit->SetText("");
    for (const char* k : {"z", "o", "o", "period", "m", "p", "g"})
      input.Key(k);
    EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return f->FileNameEdit->GetText() == "zoo.mpg"; }))
        << f->FileNameEdit->GetText();
    input.Key("Return");
    if (!PumpDisplayUntil(Display, [&] { return f->GetModalResult() != mrNone; }))
      f->SetModalResult(mrCancel);
  };
  stepper->PostStep();
  EXPECT_TRUE(d.Execute());
  EXPECT_EQ(d.GetFileName(), dir + "/zoo.mpg");

  delete stepper;
  delete holder;
  Application->ProcessMessages();
  std::filesystem::remove_all(dir);
}

TEST(SkinOpenDialogX11, ThreeClipsChosenWithControlClickAndATypedName)
{
  if (RunOnXvfbChild(ServerVariable, ChooseClips) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

}  // namespace
