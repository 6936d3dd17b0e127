// A test fixture with a fresh temporary folder (Dir, ending in "/") and small helpers to read
// and write whole files as bytes. The folder and everything in it go when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class TTempDirTest : public testing::Test {
protected:
  void SetUp() override
  {
    std::string pattern = testing::TempDir() + "quelvo-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Dir = pattern + "/";
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  static std::string ReadBytes(const std::string& FileName)
  {
    std::ifstream in(FileName, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  static void WriteBytes(const std::string& FileName, const std::string& Data)
  {
    std::ofstream(FileName, std::ios::binary) << Data;
  }
  // The names in Dir, sorted.
  std::vector<std::string> DirEntries() const
  {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Dir;
};
