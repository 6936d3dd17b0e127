#include "platform/os/FileUse.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/TempDirTest.h"

namespace {

class TSameFileOnDiskTest : public TTempDirTest {};

TEST_F(TSameFileOnDiskTest, NamesOfOneFileAreTheSameFile)
{
  std::filesystem::create_directories(Dir + "media/sub");
  std::ofstream(Dir + "media/Clip.avi") << "source";
  std::ofstream(Dir + "media/Other.avi") << "source";
  std::filesystem::create_directory_symlink(Dir + "media", Dir + "linked");
  std::filesystem::create_hard_link(Dir + "media/Clip.avi", Dir + "hard.avi");
  struct {
    const char* Name;
    std::string A, B;
    bool Same;
  } Cases[] = {
      {"one_path", Dir + "media/Clip.avi", Dir + "media/Clip.avi", true},
      {"through_a_linked_folder", Dir + "linked/Clip.avi", Dir + "media/Clip.avi", true},
      {"with_dot_dot", Dir + "media/sub/../Clip.avi", Dir + "media/Clip.avi", true},
      {"hard_link", Dir + "hard.avi", Dir + "media/Clip.avi", true},
      {"not_yet_written_through_a_link", Dir + "linked/New.avi", Dir + "media/sub/../New.avi", true},
      {"another_file_of_equal_content", Dir + "media/Other.avi", Dir + "media/Clip.avi", false},
      {"other_case", Dir + "media/clip.avi", Dir + "media/Clip.avi", false},
      {"a_missing_and_an_existing_file", Dir + "media/Clip.avi.new", Dir + "media/Clip.avi", false},
      {"empty", "", Dir + "media/Clip.avi", false},
  };
  for (const auto& C : Cases) EXPECT_EQ(SameFileOnDisk(C.A, C.B), C.Same) << C.Name;
}

}  // namespace
