#include "platform/rtl/Paths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Exceptions.h"

namespace {

struct SplitCase {
  const char* FileName;
  const char* Path;
  const char* Dir;
  const char* Name;
  const char* Ext;
};

const SplitCase SplitCases[] = {
    {"/home/ann/a.mkv", "/home/ann/", "/home/ann", "a.mkv", ".mkv"},
    {"mplayer\\subfont.ttf", "mplayer\\", "mplayer", "subfont.ttf", ".ttf"},
    {"a/b\\c.d", "a/b\\", "a/b", "c.d", ".d"},
    {"temp\\", "temp\\", "temp", "", ""},
    {"temp/", "temp/", "temp", "", ""},
    {"/", "/", "/", "", ""},
    {"/a", "/", "/", "a", ""},
    {"\\a", "\\", "\\", "a", ""},
    {"C:\\x.avi", "C:\\", "C:\\", "x.avi", ".avi"},
    {"C:\\Movies\\x.avi", "C:\\Movies\\", "C:\\Movies", "x.avi", ".avi"},
    {"\\\\server\\share", "\\\\server\\", "\\\\server", "share", ""},
    {"//server", "//", "//", "server", ""},
    {"noext", "", "", "noext", ""},
    {"", "", "", "", ""},
    {"a.tar.gz", "", "", "a.tar.gz", ".gz"},
    {"/dir.d/file", "/dir.d/", "/dir.d", "file", ""},
    {"dir.d\\file", "dir.d\\", "dir.d", "file", ""},
    {".bashrc", "", "", ".bashrc", ".bashrc"},
    {"/home/.config/x", "/home/.config/", "/home/.config", "x", ""},
    {"name.", "", "", "name.", "."},
    {"movie:1.avi", "", "", "movie:1.avi", ".avi"},
};

TEST(PathsTest, SplitsEveryKindOfPath)
{
  for (const SplitCase& c : SplitCases) {
    SCOPED_TRACE(c.FileName);
    EXPECT_EQ(ExtractFilePath(c.FileName), c.Path);
    EXPECT_EQ(ExtractFileDir(c.FileName), c.Dir);
    EXPECT_EQ(ExtractFileName(c.FileName), c.Name);
    EXPECT_EQ(ExtractFileExt(c.FileName), c.Ext);
  }
}

TEST(PathsTest, ChangeFileExtReplacesOnlyTheNamesExtension)
{
  struct {
    const char* FileName;
    const char* Extension;
    const char* Expected;
  } cases[] = {
      {"a.avi", ".mp4", "a.mp4"},
      {"a", ".mp4", "a.mp4"},
      {"a.tar.gz", "", "a.tar"},
      {"/v/a.b/c", ".d", "/v/a.b/c.d"},
      {"v\\a.b\\c", ".d", "v\\a.b\\c.d"},
      {"v\\a.b\\c.e", ".d", "v\\a.b\\c.d"},
      {"dir/", ".x", "dir/.x"},
      {".bashrc", ".bak", ".bak"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.FileName);
    EXPECT_EQ(ChangeFileExt(c.FileName, c.Extension), c.Expected);
  }
}

TEST(PathsTest, ExtractFileDriveFindsDriveLettersAndUncShares)
{
  struct {
    const char* FileName;
    const char* Drive;
  } cases[] = {
      {"C:\\x\\y.avi", "C:"},
      {"d:", "d:"},
      {"\\\\srv\\share\\dir\\f.avi", "\\\\srv\\share"},
      {"//srv/share/f", "//srv/share"},
      {"\\\\srv\\share", "\\\\srv\\share"},
      {"\\\\srv", "\\\\srv"},
      {"/home/ann", ""},
      {"1:x", ""},
      {"a", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.FileName);
    EXPECT_EQ(ExtractFileDrive(c.FileName), c.Drive);
  }
}

TEST(PathsTest, TrailingDelimiters)
{
  struct {
    const char* S;
    const char* Included;
    const char* Excluded;
  } cases[] = {
      {"a", "a/", "a"},
      {"a/", "a/", "a"},
      {"a\\", "a\\", "a"},
      {"a//", "a//", "a/"},
      {"/", "/", "/"},
      {"\\", "\\", "\\"},
      {"", "/", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.S);
    EXPECT_EQ(IncludeTrailingPathDelimiter(c.S), c.Included);
    EXPECT_EQ(IncludeTrailingBackslash(c.S), c.Included);
    EXPECT_EQ(ExcludeTrailingPathDelimiter(c.S), c.Excluded);
    EXPECT_EQ(ExcludeTrailingBackslash(c.S), c.Excluded);
  }
}

TEST(PathsTest, SubPathConvertsOnlyTheProgramsPiece)
{
  struct {
    const char* Folder;
    const char* Piece;
    const char* Expected;
  } cases[] = {
      {"/work", "mplayer\\subfont.ttf", "/work/mplayer/subfont.ttf"},
      {"/work/", "temp\\temp.avi", "/work/temp/temp.avi"},
      {"/work", "\\VIDEO_TS", "/work/VIDEO_TS"},
      {"/work", "temp\\", "/work/temp/"},
      {"/home/a\\b", "temp\\x", "/home/a\\b/temp/x"},  // the folder's "\\" is a name character
      {"/home/..\\x", "y", "/home/..\\x/y"},
      {"/x/y:z", "a", "/x/y:z/a"},
      {"", "temp\\temp.avi", "temp/temp.avi"},
      {"/", "a\\b", "/a/b"},
  };
  for (const auto& c : cases) EXPECT_EQ(SubPath(c.Folder, c.Piece), c.Expected) << c.Folder << " + " << c.Piece;
}

TEST(PathsTest, IsPathDelimiter)
{

  struct {
    const char* S;
    int Index;
    bool Expected;
  } cases[] = {
      {"a/b", 2, true}, {"a\\b", 2, true}, {"a/b", 1, false}, {"a/b", 3, false},
      {"a/b", 0, false}, {"a/b", 4, false}, {"a/b", -1, false}, {"", 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.S << " @" << c.Index);
    EXPECT_EQ(IsPathDelimiter(c.S, c.Index), c.Expected);
  }
}

// Runs in a temporary current directory, restoring the old one afterwards.
class PathsCwdTest : public testing::Test {
protected:
  void SetUp() override
  {
    char* old = getcwd(nullptr, 0);
    ASSERT_NE(old, nullptr);
    FOldDir = old;
    free(old);
    String tmpl = "/tmp/qv-paths-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    char real[PATH_MAX];
    ASSERT_NE(realpath(tmpl.c_str(), real), nullptr);
    FDir = real;
    ASSERT_EQ(chdir(FDir.c_str()), 0);
  }
  void TearDown() override
  {
    EXPECT_EQ(chdir(FOldDir.c_str()), 0);
    rmdir(FDir.c_str());
  }

  String FOldDir;
  String FDir;
};

TEST_F(PathsCwdTest, ExpandFileNameResolvesDotsAndDoubledSeparators)
{
  const String cwd = FDir;
  struct {
    String FileName;
    String Expected;
  } cases[] = {
      {"/a/b/../c", "/a/c"},
      {"/a/./b", "/a/b"},
      {"/a//b", "/a/b"},
      {"//a", "/a"},
      {"/..", "/"},
      {"/../../x", "/x"},
      {"/a/b/..", "/a"},
      {"/a/b/../", "/a/"},
      {"/a/b/", "/a/b/"},
      {"/", "/"},
      {"/a\\b\\..\\c.avi", "/a\\b\\..\\c.avi"},  // "\\" is a name character
      {"/v/..\\x", "/v/..\\x"},
      {"/v/a\\b/../c", "/v/c"},
      {"x/../y", cwd + "/y"},
      {"temp\\", cwd + "/temp\\"},
      {".", cwd},
      {"..", ExtractFileDir(cwd)},
      {"f.avi", cwd + "/f.avi"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.FileName);
    EXPECT_EQ(ExpandFileName(c.FileName), c.Expected);
  }
}

TEST_F(PathsCwdTest, ExtractRelativePath)
{
  struct {
    String Base;
    String Dest;
    String Expected;
  } cases[] = {
      {"/a/b/", "/a/b/c.txt", "c.txt"},
      {"/a/b/", "/a/c/d.txt", "../c/d.txt"},
      {"/a/b/x.txt", "/a/d.txt", "../d.txt"},
      {"/a/", "/a/b/c/d", "b/c/d"},
      {"/x/y/", "/z", "../../z"},
      {"/a/b\\", "/a/b\\c\\d.txt", "b\\c\\d.txt"},  // "\\" is a name character
      {"sub/", FDir + "/f", "../f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Base + " -> " + c.Dest);
    EXPECT_EQ(ExtractRelativePath(c.Base, c.Dest), c.Expected);
  }
}

TEST_F(PathsCwdTest, CurrentDirFollowsSetCurrentDir)
{
  EXPECT_EQ(GetCurrentDir(), FDir);
  ASSERT_EQ(mkdir((FDir + "/sub").c_str(), 0777), 0);
  EXPECT_TRUE(SetCurrentDir("sub/"));
  EXPECT_FALSE(SetCurrentDir("..\\"));  // a name, not the parent folder
  EXPECT_EQ(GetCurrentDir(), FDir + "/sub");
  EXPECT_EQ(GetCurrentDir(), FDir + "/sub");
  EXPECT_TRUE(SetCurrentDir(".."));
  EXPECT_EQ(GetCurrentDir(), FDir);

  SetLastError(0);
  EXPECT_FALSE(SetCurrentDir("missing"));
  EXPECT_EQ(GetLastError(), static_cast<std::uint32_t>(ENOENT));
  EXPECT_EQ(GetCurrentDir(), FDir);
  rmdir((FDir + "/sub").c_str());
}

}  // namespace
