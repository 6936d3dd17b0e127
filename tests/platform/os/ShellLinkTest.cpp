#include "platform/os/Shortcuts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/Folders.h"
#include "tests/support/TempDirTest.h"

namespace {

class TShellLinkTest : public TTempDirTest {};

TEST_F(TShellLinkTest, SavesADesktopEntryInsteadOfALinkAndDeletesIt)
{
  std::filesystem::create_directories(Dir + "autostart");
  TShellLink link;
  link.SetPath((Dir + "Quelvo 3/quelvo3").c_str());
  link.SetWorkingDirectory((Dir + "Quelvo 3").c_str());
  ASSERT_EQ(link.Save(Dir + "autostart/Quelvo 3.lnk", TRUE), S_OK);
  EXPECT_FALSE(std::filesystem::exists(Dir + "autostart/Quelvo 3.lnk"));
  EXPECT_EQ(ReadBytes(Dir + "autostart/Quelvo 3.desktop"),
            "[Desktop Entry]\nType=Application\nName=Quelvo 3\nExec=\"" + Dir + "Quelvo 3/quelvo3\"\nPath=" + Dir +
                "Quelvo 3\nTerminal=false\n");

  // Read back through the name the program uses.
  TShellLink loaded;
  ASSERT_EQ(loaded.Load(Dir + "autostart/Quelvo 3.lnk", 0), S_OK);
  char path[260];
  ASSERT_EQ(loaded.GetPath(path, sizeof path, nullptr, SLGP_UNCPRIORITY), S_OK);
  EXPECT_EQ(std::string(path), Dir + "Quelvo 3/quelvo3");
  EXPECT_EQ(loaded.WorkingDirectory(), Dir + "Quelvo 3");
  char tiny[4];
  EXPECT_EQ(loaded.GetPath(tiny, sizeof tiny, nullptr, 0), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_STREQ(tiny, "");

  EXPECT_TRUE(DeleteShellLink(Dir + "autostart/Quelvo 3.LNK"));
  EXPECT_TRUE(std::filesystem::is_empty(Dir + "autostart"));
  EXPECT_FALSE(DeleteShellLink(Dir + "autostart/Quelvo 3.lnk"));
  EXPECT_EQ(loaded.Load(Dir + "autostart/Quelvo 3.lnk", 0), HRESULT_FROM_WIN32(2));
}

TEST_F(TShellLinkTest, ExecLinesQuoteAndReadBackEveryArgument)
{
  const struct {
    std::vector<std::string> Argv;
    std::string Exec;
  } cases[] = {
      {{"/usr/bin/quelvo3"}, "/usr/bin/quelvo3"},
      {{"/opt/Quelvo 3/quelvo3", "--min"}, "\"/opt/Quelvo 3/quelvo3\" --min"},
      {{"/bin/q", "100%", "a\"b", "$HOME", "`x`"}, "/bin/q 100%% \"a\\\\\"b\" \"\\\\$HOME\" \"\\\\`x\\\\`\""},
      {{"/bin/q", "C:\\temp\\"}, "/bin/q \"C:\\\\\\\\temp\\\\\\\\\""},
      {{"/bin/q", ""}, "/bin/q \"\""},
      {{"/bin/q", "line\nbreak"}, "/bin/q \"line\\nbreak\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DesktopExecLine(c.Argv), c.Exec) << c.Exec;
    EXPECT_EQ(ParseDesktopExecLine(c.Exec), c.Argv) << c.Exec;
  }
  // Field codes of other programs' entries are dropped.
  EXPECT_EQ(ParseDesktopExecLine("vlc --started-from-file %U"), (std::vector<std::string>{"vlc", "--started-from-file"}));
}

TEST_F(TShellLinkTest, ArgumentsSurviveTheRoundTripAndBadFilesAreRefused)
{
  TShellLink link;
  link.SetPath("/usr/bin/quelvo3");
  link.SetArguments("-x \"two words\" 50%");
  link.SetDescription("Video converter");
  ASSERT_EQ(link.Save(Dir + "q.desktop", FALSE), S_OK);
  TShellLink loaded;
  ASSERT_EQ(loaded.Load(Dir + "q.desktop", 0), S_OK);
  EXPECT_EQ(loaded.Path(), "/usr/bin/quelvo3");
  EXPECT_EQ(loaded.Arguments(), "-x \"two words\" 50%");
  EXPECT_EQ(loaded.Description(), "Video converter");

  EXPECT_EQ(TShellLink().Save(Dir + "empty.lnk", FALSE), E_INVALIDARG);  // no path set
  EXPECT_NE(link.Save(Dir + "no/such/folder/q.lnk", FALSE), S_OK);
  const char* bad[] = {"", "[Desktop Entry]\nType=Link\nURL=http://x/\n", "[Other]\nType=Application\nExec=/bin/x\n",
                       "\x89PNG\r\n\x1a\n binary"};
  for (const char* text : bad) {
    WriteBytes(Dir + "bad.desktop", text);
    EXPECT_EQ(loaded.Load(Dir + "bad.desktop", 0), E_FAIL) << text;
  }
  EXPECT_EQ(loaded.Path(), "/usr/bin/quelvo3");  // a failed load changes nothing
}

}  // namespace
