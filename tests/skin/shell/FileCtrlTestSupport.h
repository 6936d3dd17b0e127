// What the tests of the file controls and the open dialog share: names a Linux folder may hold
// and a dialog must never bend, a window test over a fresh temporary folder (the current
// directory is restored afterwards), and a window that runs a test step when a modal loop
// dispatches its message.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Paths.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace filetest {

// Quotes, a backslash, a newline, a leading '-', bytes that are no UTF-8, and 255 bytes.
inline const std::vector<std::string>& OddNames()
{
  static const std::vector<std::string> names = {
      "say \"hi\".avi", "back\\slash.avi", "new\nline.avi", "-rf.avi", "bad\xff\xfe.avi", std::string(251, 'n') + ".avi",
  };
  return names;
}

// Runs Step (once) when the message WM_APP + 7 reaches it, in whatever loop dispatches it.
class TStepWindow : public TForm {
public:
  using TForm::TForm;
  static constexpr UINT StepMessage = WM_APP + 7;
  std::function<void()> Step;
  void PostStep() { PostMessage(GetHandle(), StepMessage, 0, 0); }

protected:
  void WndProc(TMessage& Message) override
  {
    if (Message.Msg == StepMessage) {
      auto step = std::move(Step);
      if (step)
        step();
      return;
    }
    TForm::WndProc(Message);
  }
};

// A headless window test with a shown form and a temporary folder Dir (without a trailing '/').
class TFolderWindowTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    SavedDir = GetCurrentDir();
    std::string pattern = testing::TempDir() + "quelvo-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Dir = pattern;
    Form = NewForm(100, 100, 500, 400);
    Form->Show();
  }
  void TearDown() override
  {
    SetCurrentDir(SavedDir);
    TSkinControlTest::TearDown();
    std::filesystem::remove_all(Dir);
  }
  void Touch(const std::string& Name, std::size_t Size = 1)
  {
    std::ofstream(Dir + "/" + Name, std::ios::binary) << std::string(Size, 'x');
  }
  void MakeDir(const std::string& Name) { std::filesystem::create_directories(Dir + "/" + Name); }

  String SavedDir;
  std::string Dir;
  TForm* Form = nullptr;
};

}  // namespace filetest
