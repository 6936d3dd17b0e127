// Edit1, the main window's command-line field: it shows the tool command line the program set
// last, centred, and the settings file shows it ("CMD1") or leaves it hidden.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "MainFormTestSupport.h"
#include "core/qv_settings.h"
#include "extctrls/XcEdit.h"

namespace {

class CommandLineField : public mainformtest::TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    WorkFolder = Dir + "work/";
    std::filesystem::create_directories(WorkFolder);
    SetSettingsMessageProc([](const String&) {});
  }
  void TearDown() override
  {
    SetSettingsMessageProc(nullptr);
    TMainFormTest::TearDown();
  }
  void WriteSettings(const std::string& Bytes)
  {
    FILE* F = fopen((WorkFolder + "settings.txt").c_str(), "wb");
    ASSERT_NE(F, nullptr);
    fwrite(Bytes.data(), 1, Bytes.size(), F);
    fclose(F);
  }
};

TEST_F(CommandLineField, ShowsTheLastCommandLineCentredAsWritten)
{
  EXPECT_EQ(Form->Edit1->GetAlignment(), taCenter);
  EXPECT_TRUE(Form->Edit1->GetUseFixedPopup());
  EXPECT_EQ(Form->Edit1->GetClipboardCommands(), XcAllClipboardCommands);
  const String Lines[] = {"mplayer.exe -identify \"/v/a b.avi\"", "mencoder.exe \"/v/it's \"\"x\"\".avi\" -o out.avi",
                          ""};
  for (const String& Line : Lines) {
    Form->Edit1->SetText(Line);
    EXPECT_EQ(Form->Edit1->GetText(), Line);
  }
}

TEST_F(CommandLineField, TheSettingsShowItAndRecordItWhenShown)
{
  struct TCase {
    const char* Name;
    const char* File;
    bool Visible;
  };
  const TCase Cases[] = {{"flag present", "Prio:1\r\nCMD1\r\n", true},
                         {"flag absent", "Prio:1\r\nCMD2\r\n", false},
                         {"another word containing it", "beforecmd:run CMD1 now\r\n", false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Form->Edit1->SetVisible(false);
    WriteSettings(C.File);
    LoadSettings();
    EXPECT_EQ(Form->Edit1->GetVisible(), C.Visible);
    SaveSettings();
    std::string Saved;
    if (FILE* F = fopen((WorkFolder + "settings.txt").c_str(), "rb")) {
      char Buffer[4096];
      Saved.assign(Buffer, fread(Buffer, 1, sizeof(Buffer), F));
      fclose(F);
    }
    EXPECT_EQ(Saved.find("\r\nCMD1\r\n") != std::string::npos, C.Visible);
  }
}

}  // namespace
