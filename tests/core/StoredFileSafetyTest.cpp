// The user's stored files when something is wrong with them: a file that is there but cannot be
// read is never written over, a file far too large is refused before it is read, values with
// line breaks stay on their line, and mencoder.conf is written only when it changes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../support/UnreadableFile.h"
#include "ScanTestSupport.h"
#include "core/qv_functions.h"
#include "core/qv_settings.h"

namespace {

using scantest::TScanTest;

class StoredFiles : public TScanTest {
protected:
  void SetUp() override
  {
    TScanTest::SetUp();
    SetSettingsMessageProc([this](const String& Text) { Messages.push_back(Text); });
  }
  void TearDown() override
  {
    SetSettingsMessageProc(nullptr);
    TScanTest::TearDown();
  }
  std::string Settings() const { return Dir + "settings.txt"; }
  bool Told(const std::string& Part) const
  {
    for (const std::string& M : Messages)
      if (M.find(Part) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> Messages;
};

TEST_F(StoredFiles, SettingsThatCannotBeReadAreNotReplacedAtExit)
{
  // A folder in the settings file's place.
  std::filesystem::create_directories(Settings());
  LoadSettings();
  EXPECT_TRUE(Told("it is a folder"));
  Messages.clear();
  SaveSettings();
  EXPECT_TRUE(std::filesystem::is_directory(Settings()));
  EXPECT_TRUE(Told("not saved"));
  std::filesystem::remove(Settings());

  // A file without read permission keeps its bytes; the device queue is still saved.
  WriteBytes(Settings(), "DoIgnore\r\n");
  {
    testsupport::TUnreadableFile Locked(Settings());
    if (!Locked.Usable()) GTEST_SKIP() << "no file here can be made unreadable: " << Locked.Why;
    Messages.clear();
    LoadSettings();
    EXPECT_FALSE(Form->checkbox13->GetChecked());
    EXPECT_TRUE(Told("cannot be read (it cannot be opened: Access is denied.)"));
    Messages.clear();
    SaveSettings();
    EXPECT_TRUE(Told("not saved"));
  }
  EXPECT_EQ(ReadBytes(Settings()), "DoIgnore\r\n");
  EXPECT_TRUE(std::filesystem::exists(Dir + "profiles/lastprofile.prf"));
  // Once it reads again, the next start loads it and the exit writes it.
  LoadSettings();
  EXPECT_TRUE(Form->checkbox13->GetChecked());
  SaveSettings();
  EXPECT_NE(ReadBytes(Settings()).find("Prio:"), std::string::npos);
}

TEST_F(StoredFiles, ASettingsFileOverItsLimitIsRefusedAndKept)
{
  const std::string Big = "DoIgnore\r\n" + std::string(1024 * 1024, 'x');
  WriteBytes(Settings(), Big);
  LoadSettings();
  EXPECT_FALSE(Form->checkbox13->GetChecked());
  EXPECT_TRUE(Told("larger than 1 MB"));
  EXPECT_EQ(ReadBytes(Dir + "settings.damaged.txt"), Big);
}

TEST_F(StoredFiles, LineBreaksInValuesStayOnTheirLine)
{
  TivoMak = "key\nshutdown";
  Form->skSkinLabel2->SetCaption("run\r\nbeforecmd:rm -rf x");
  Form->skSkinLabel3->SetCaption("done\rexplorer");
  SaveSettings();
  const std::string Bytes = ReadBytes(Settings());
  EXPECT_NE(Bytes.find("\r\nTivo:key shutdown\r\n"), std::string::npos);
  EXPECT_NE(Bytes.find("\r\nbeforecmd:run  beforecmd:rm -rf x\r\n"), std::string::npos);
  EXPECT_NE(Bytes.find("\r\nafter cmd:done explorer\r\n"), std::string::npos);
  TivoMak.clear();
  LoadSettings();
  EXPECT_EQ(TivoMak, "key shutdown");
  EXPECT_FALSE(Form->checkbox1->GetChecked());
  EXPECT_TRUE(Form->skSkinCheckRadioBox4->GetChecked());
  EXPECT_EQ(Form->skSkinLabel2->GetCaption(), "run  beforecmd:rm -rf x");
}

TEST_F(StoredFiles, ProfileNamesWithControlCharactersAreNotListed)
{
  std::filesystem::create_directories(Dir + "profiles");
  for (const char* Name : {"Phone", "two\nlines", "tab\tbed", "Zune"}) WriteBytes(Dir + "profiles/" + Name + ".prf", "1\r\n1\r\nx\r\n");
  LoadProfileList();
  EXPECT_EQ(Items(Form->profilebox->GetItems()), (std::vector<std::string>{"Phone", "Zune"}));
}

TEST_F(StoredFiles, MencoderConfChangesOnlyWhenItMust)
{
  const std::string Conf = Dir + "mplayer/mencoder.conf";
  const struct {
    const char* Name;
    const char* Before;
    const char* After;  // nullptr: not written at all
  } Cases[] = {
      {"already as it would be written", "ao=null\r\nsubfont-text-scale=15\r\n", nullptr},
      {"a comment naming the key stays",
       "# subfont-text-scale=5 is small\r\nsubfont-text-scale=15\r\nao=null\r\n",
       "# subfont-text-scale=5 is small\r\nao=null\r\nsubfont-text-scale=15\r\n"},
      {"another option holding the text stays", "subfont-text-scale=15\r\nx-subfont-text-scale=3\r\n",
       "x-subfont-text-scale=3\r\nsubfont-text-scale=15\r\n"},
  };
  std::filesystem::create_directories(Dir + "mplayer");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Form->skSkinSpinEdit6->SetValue(20);
    WriteBytes(Conf, C.Before);
    const auto Stamp = std::filesystem::last_write_time(Conf) - std::chrono::hours(1);
    std::filesystem::last_write_time(Conf, Stamp);
    LoadSubtitleScale();
    EXPECT_EQ(Form->skSkinSpinEdit6->GetValue(), 15);
    EXPECT_EQ(ReadBytes(Conf), C.After ? C.After : C.Before);
    if (!C.After) {
      EXPECT_EQ(std::filesystem::last_write_time(Conf), Stamp);
    }
  }
}

TEST_F(StoredFiles, MencoderConfIsNotWrittenOverWhenUnreadableAndAFailedWriteIsTold)
{
  const std::string Conf = Dir + "mplayer/mencoder.conf";
  Form->mencoder_conf->GetItems()->Add("subfont-text-scale=30");
  std::filesystem::create_directories(Dir + "mplayer");
  // A folder in the way: the write fails, and the status line says so.
  std::filesystem::create_directories(Conf);
  EXPECT_FALSE(WriteMencoderConf());
  EXPECT_NE(Form->status->GetCaption().find("mencoder.conf"), std::string::npos);
  std::filesystem::remove(Conf);

  WriteBytes(Conf, "vf=scale\r\n");
  testsupport::TUnreadableFile Locked(Conf);
  if (!Locked.Usable()) GTEST_SKIP() << "no file here can be made unreadable: " << Locked.Why;
  Form->status->SetCaption("");
  EXPECT_FALSE(WriteMencoderConf());
  EXPECT_NE(Form->status->GetCaption().find("cannot be read"), std::string::npos);
  struct stat St {};
  ASSERT_EQ(stat(Conf.c_str(), &St), 0);
  EXPECT_EQ(St.st_size, 10);
}

TEST_F(StoredFiles, AHistoryThatCannotBeReadIsNotWrittenAtExit)
{
  const std::string Db = Dir + "filelist.db";
  const std::string Rows = "4\r\n2\r\n#\r\nDate\r\nDevice\r\nName\r\n00001\r\n01/02/2020\r\nzune\r\nMovie.avi\r\n";
  WriteBytes(Db, Rows);
  {
    testsupport::TUnreadableFile Locked(Db);
    if (!Locked.Usable()) GTEST_SKIP() << "no file here can be made unreadable: " << Locked.Why;
    HistoryFormCreate();
    EXPECT_NE(Form->status->GetCaption().find("cannot be read"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Db + ".damaged"));
    HistorySave();
  }
  EXPECT_EQ(ReadBytes(Db), Rows);
  EXPECT_NE(Form->status->GetCaption().find("not saved"), std::string::npos);
}

TEST_F(StoredFiles, AFailedCopyOfADamagedHistoryIsTold)
{
  WriteBytes(Dir + "filelist.db", "sixty\r\nrows\r\n");
  std::filesystem::create_directories(Dir + "filelist.db.damaged");  // the copy cannot go there
  HistoryFormCreate();
  EXPECT_NE(Form->status->GetCaption().find("could not be kept"), std::string::npos);
}

}  // namespace
