// Every standard control on one form, shown on a real X server (Xvfb) through the X11 backend;
// the test keeps a screenshot of the form as an artefact of the build.
#include <gtest/gtest.h>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/ComboBoxCtrl.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "platform/vcl/ListViewCtrl.h"
#include "platform/vcl/PageCtrl.h"
#include "platform/vcl/RichEditCtrl.h"
#include "platform/vcl/ScrollBarCtrl.h"
#include "platform/vcl/TrackBarCtrl.h"
#include "platform/vcl/TreeViewCtrl.h"
#include "tests/support/XvfbChildRun.h"

namespace {

String ScreenshotFile()
{
  return String(QV_TEST_BIN_DIR) + "/../std-controls-x11.png";
}

String HintScreenshotFile()
{
  return String(QV_TEST_BIN_DIR) + "/../std-hint-x11.png";
}

template <typename T>
T* Place(TForm* Form, int Left, int Top, int Width, int Height)
{
  auto* control = new T(Form);
  control->SetParent(Form);
  control->SetBounds(Left, Top, Width, Height);
  return control;
}

// The part that runs in the child process, on the X server named by the environment.
void ShowEveryControl(const char*, TDisplayBackend* Display)
{

  auto* form = new TForm(nullptr);
  form->SetCaption("Standard controls");
  form->SetBounds(20, 20, 660, 470);
  Place<TLabel>(form, 10, 10, 120, 16)->SetCaption("&Name:");
  Place<TEdit>(form, 10, 28, 150, 22)->SetText("Edit text");
  auto* memo = Place<TMemo>(form, 10, 56, 150, 70);
  memo->GetLines()->Add("First line of a memo");
  memo->GetLines()->Add("Second line");
  auto* list = Place<TListBox>(form, 10, 132, 150, 80);
  for (const char* item : {"Apple", "Banana", "Cherry", "Date"})
    list->GetItems()->Add(item);
  list->SetItemIndex(1);
  auto* combo = Place<TComboBox>(form, 10, 218, 150, 22);
  combo->GetItems()->Add("DVD folder");
  combo->GetItems()->Add("Disc image");
  combo->SetItemIndex(0);
  auto* tree = Place<TTreeView>(form, 170, 10, 150, 130);
  TTreeNode* root = tree->GetItems()->Add(nullptr, "Videos");
  tree->GetItems()->AddChild(root, "Holiday.mkv");
  tree->GetItems()->AddChild(root, "Concert.avi");
  root->Expand(false);
  auto* view = Place<TListView>(form, 170, 146, 300, 94);
  view->SetViewStyle(vsReport);
  TListColumn* column = view->GetColumns()->Add();
  column->SetCaption("File");
  column->SetWidth(160);
  view->GetColumns()->Add()->SetCaption("Size");
  view->GetItems()->Add()->SetCaption("movie.mp4");
  auto* rich = Place<TRichEdit>(form, 330, 10, 140, 130);
  rich->GetLines()->Add("Release notes");
  auto* pages = Place<TPageControl>(form, 480, 10, 170, 120);
  for (const char* caption : {"General", "Video"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  pages->SetActivePageIndex(0);
  auto* group = Place<TGroupBox>(form, 480, 136, 170, 60);
  group->SetCaption("Group");
  Place<TPanel>(form, 480, 202, 170, 38)->SetCaption("Panel");
  Place<TBevel>(form, 10, 248, 640, 4);
  auto* grid = Place<TStringGrid>(form, 10, 258, 400, 120);
  grid->SetCells(1, 0, "Device");
  grid->SetCells(1, 1, "Phone");
  Place<TScrollBar>(form, 420, 258, 230, 18);
  Place<TTrackBar>(form, 420, 282, 230, 32);
  Place<TButton>(form, 560, 400, 90, 28)->SetCaption("OK");
  form->Show();
  PumpDisplay(Display, 20);
  const String file = ScreenshotFile();
  DeleteFile(file);
  EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(form->GetHandle()), file));

  // A hint of two lines, with descenders, as the application shows it.
  auto* hint = new THintWindow(nullptr);
  const String text = "Pick the source: a DVD folder, a disc image or a single video file";
  TRect bounds = hint->CalcHintRect(220, text);
  OffsetRect(&bounds, 60, 300);
  hint->ActivateHint(bounds, text);
  PumpDisplay(Display, 10);
  const String hintFile = HintScreenshotFile();
  DeleteFile(hintFile);
  EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(hint->GetHandle()), hintFile));
  delete hint;
  delete form;
  Application->ProcessMessages();
}

TEST(StdControlsOnX11, AFormWithEveryControlIsShownAndKeptAsAScreenshot)
{
  const TXvfbChild run = RunOnXvfbChild("QV_STD_CONTROLS_X11", ShowEveryControl);
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
  if (run != TXvfbChild::Parent)
    return;
  EXPECT_TRUE(FileExists(ScreenshotFile()));
  EXPECT_TRUE(FileExists(HintScreenshotFile()));
}

} // namespace
