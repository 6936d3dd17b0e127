// The select-folder dialog on a private Xvfb, driven through XTest as a user would: a folder
// chosen with the mouse, one chosen with the keyboard, and a screenshot of the dialog with the
// program's frame skin kept beside the gallery.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Thread.h"
#include "skin/controls/SkinButton.h"
#include "skin/shell/SkinSelectDirectoryDialog.h"
#include "tests/skin/input/XTestKeys.h"
#include "tests/skin/shell/ShellNamespaceTestSupport.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/support/X11Probe.h"
#include "tests/support/XvfbChildRun.h"

namespace {

class SelectDirectoryDialogX11 : public shelltest::TShellTreeTest {};

// Shows the dialog and, once its window is on the screen, runs Prepare on this thread (it gives
// the user's steps their screen points) and then User on another thread, as the user's hands,
// while the dialog's modal loop runs here. A dialog still open after 20 s is cancelled.
bool RunDialog(TskSkinSelectDirectoryDialog& Dialog, TX11Probe& X, const std::function<void(TskSelDirDlgForm*)>& Prepare,
               const std::function<void()>& User)
{
  std::atomic<bool> ready{false};
  int settle = 0;
  const auto start = std::chrono::steady_clock::now();
  // A timer of the thread keeps looking (timer messages come only when nothing else waits, so
  // the window gets painted first).
  UINT_PTR timer = 0;
  Dialog.OnShow = [&timer](TObject*) { timer = SetTimer(nullptr, 0, 50, nullptr); };
  Application->OnMessage = [&](MSG& Msg, bool&) {
    TskSelDirDlgForm* form = Dialog.GetForm();
    if (!form || Msg.message != WM_TIMER) return;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) form->SetModalResult(mrCancel);
    if (ready) return;
    if (X.Viewable(GetDisplayBackend().NativeId(GetDisplayWindow(form->GetHandle()))) && ++settle > 6) {
      Prepare(form);
      ready = true;
    }
  };
  std::thread user([&] {
    while (!ready) usleep(10000);
    User();
  });
  const bool result = Dialog.Execute();
  ready = true;
  user.join();
  KillTimer(nullptr, timer);
  Application->OnMessage = nullptr;
  return result;
}

TPoint Centre(TControl* Control, const TRect& R)
{
  return Control->ClientToScreen(Point((R.left + R.right) / 2, (R.top + R.bottom) / 2));
}

TTreeNode* ChildNamed(TTreeNode* Node, const String& Text)
{
  for (TTreeNode* c = Node ? Node->getFirstChild() : nullptr; c; c = c->getNextSibling())
    if (c->GetText() == Text) return c;
  return nullptr;
}

}  // namespace

TEST_F(SelectDirectoryDialogX11, FolderChosenByMouseAndByKeyboard)
{
  MakeTree();
  const std::string plain = Tree + "/plain";
  const TXvfbChild run = RunOnXvfbChild("QV_SHELL_DIALOG_X11", [&](const char* Server, TDisplayBackend*) {
    TX11Probe X(Server);
    TXTestKeys Keys(Server);
    ASSERT_TRUE(X.Connected());
    ASSERT_TRUE(Keys.Ok());
    TComponent holder(nullptr);
    TskSkinSelectDirectoryDialog dialog(nullptr);
    dialog.SetSkinData(BuiltinSkinData(&holder, TBuiltinSkin::bsFrame));
    dialog.SetCtrlSkinData(BuiltinSkinData(&holder, TBuiltinSkin::bsControls));
    dialog.SetTitle("Select folder containing video files");
    dialog.DialogHeight = 320;

    // The mouse: the tree opens at the start folder; a click on its first folder, then on OK.
    dialog.SetDirectory(Tree);
    TPoint node{}, ok{};
    const String shot = String(QV_TEST_BIN_DIR) + "/../skin-shell-select-folder.png";
    DeleteFile(shot);
    bool okBefore = true;
    const bool byMouse = RunDialog(
        dialog, X,
        [&](TskSelDirDlgForm* form) {
          TTreeNode* target = ChildNamed(form->TreeView->GetSelected(), "-leading dash");
          ASSERT_NE(target, nullptr);
          node = Centre(form->TreeView, target->DisplayRect(true));
          ok = Centre(form->OKButton, form->OKButton->GetClientRect());
          okBefore = form->OKButton->GetEnabled();
          EXPECT_TRUE(SaveWindowPng(GetDisplayBackend(), GetDisplayWindow(form->GetHandle()), shot));
        },
        [&] {
          X.MoveTo(node.x, node.y);
          usleep(80000);
          X.Click(1);
          usleep(400000);
          X.MoveTo(ok.x, ok.y);
          usleep(80000);
          X.Click(1);
        });
    EXPECT_TRUE(okBefore);
    EXPECT_TRUE(byMouse);
    EXPECT_EQ(dialog.GetDirectory(), Tree + "/-leading dash");
    EXPECT_EQ(dialog.DialogHeight, 320);
    dialog.SetDirectory(plain);

    // The keyboard: from "plain", Down moves to its folder "inner", Return presses OK.
    const bool byKeys = RunDialog(
        dialog, X, [&](TskSelDirDlgForm* form) { form->TreeView->SetFocus(); },
        [&] {
          usleep(100000);
          Keys.Key("Down");
          usleep(300000);
          Keys.Key("Return");
        });
    EXPECT_TRUE(byKeys);
    EXPECT_EQ(dialog.GetDirectory(), plain + "/inner");

    // Escape cancels and keeps the folder.
    const bool cancelled = RunDialog(
        dialog, X, [&](TskSelDirDlgForm* form) { form->TreeView->SetFocus(); },
        [&] {
          usleep(100000);
          Keys.Key("Up");
          usleep(200000);
          Keys.Key("Escape");
        });
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(dialog.GetDirectory(), plain + "/inner");
  });
  if (run == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
  if (run == TXvfbChild::Parent) {
    EXPECT_TRUE(FileExists(String(QV_TEST_BIN_DIR) + "/../skin-shell-select-folder.png"));
  }
}
