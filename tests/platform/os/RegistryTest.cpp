#include "platform/os/Registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/support/TempDirTest.h"

namespace {

class TRegistryTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    SetRegistryFileName(Dir + "registry.ini");
  }
  void TearDown() override
  {
    SetRegistryFileName("");
    TTempDirTest::TearDown();
  }
  void WriteRegistry()
  {
    WriteBytes(Dir + "registry.ini",
               "; keys the program may read\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows Media\\Encoder]\r\n"
               "Version=9.00.00.2980\r\n"
               "[HKCR\\htmlfile\\shell\\open\\command]\r\n"
               "@=\"/usr/bin/firefox\" -- \"%1\"\r\n"
               "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
               "Count=dword:0000002a\r\n"
               "Bytes=hex:01,ff, 10\r\n"
               "\"Quoted Name\"=yes\r\n");
  }
};

TEST_F(TRegistryTest, KeysAreAbsentWithoutTheFile)
{
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Media\\Encoder", 0, KEY_READ, &key), 2);
  EXPECT_EQ(key, nullptr);
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\htmlfile\\shell\\open\\command"));
  DWORD size = 8192;
  BYTE data[16];
  EXPECT_EQ(RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, data, &size), 2);
}

TEST_F(TRegistryTest, ValuesFromTheFile)
{
  WriteRegistry();
  HKEY key = nullptr;
  // Names are case-insensitive; a key with keys below it exists too.
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows media\\ENCODER", 0, KEY_READ, &key), 0);
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(key, "version", nullptr, &type, nullptr, &size), 0);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 13u);  // the text and its zero
  char small[4];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 13u);
  char text[32];
  size = sizeof text;
  ASSERT_EQ(RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), 0);
  EXPECT_STREQ(text, "9.00.00.2980");
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, nullptr), 2);
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, nullptr, nullptr, nullptr), static_cast<LONG>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(key), static_cast<LONG>(ERROR_INVALID_HANDLE));

  HKEY parent = nullptr, child = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", 0, KEY_READ, &parent), 0);
  EXPECT_EQ(RegOpenKeyExA(parent, "Windows Media\\Encoder", 0, KEY_READ, &child), 0);
  EXPECT_EQ(RegOpenKeyExA(parent, "Windows", 0, KEY_READ, &key), 2);  // only a prefix of a name
  RegCloseKey(child);
  RegCloseKey(parent);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows Media\\Encoder", 0, KEY_READ, &key), 2);
}

TEST_F(TRegistryTest, RegistryObjectReadsTypedValues)
{
  WriteRegistry();
  TRegistry registry;  // all access, as the class library's default
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey("SOFTWARE\\Microsoft\\Windows Media\\Encoder", false));
  EXPECT_TRUE(registry.ValueExists("Version"));
  EXPECT_FALSE(registry.ValueExists("Path"));
  registry.CloseKey();

  registry.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\htmlfile\\shell\\open\\command"));
  EXPECT_EQ(registry.ReadString(""), "\"/usr/bin/firefox\" -- \"%1\"");
  EXPECT_EQ(registry.ReadString("Missing"), "");

  registry.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(registry.OpenKey("Software", false));
  ASSERT_TRUE(registry.OpenKey("Test", false));  // relative to the open key
  EXPECT_EQ(registry.GetCurrentPath(), "Software\\Test");
  EXPECT_EQ(registry.ReadInteger("count"), 42);
  EXPECT_EQ(registry.GetDataType("Bytes"), rdBinary);
  EXPECT_EQ(registry.ReadString("Quoted Name"), "yes");
  EXPECT_THROW(registry.ReadString("Count"), ERegistryException);
  EXPECT_THROW(registry.ReadInteger("Quoted Name"), ERegistryException);
  EXPECT_THROW(registry.ReadInteger("Missing"), ERegistryException);
  EXPECT_FALSE(registry.KeyExists("Nothing"));
  EXPECT_FALSE(registry.OpenKey("Nothing", true));  // cannot be made here
}

// The file is read once and kept while it stays the same; any change (in place, replaced by
// another file, removed, another file name) is seen at the next call.
TEST_F(TRegistryTest, TheFileIsReadAgainOnlyWhenItChanges)
{
  const String name = Dir + "registry.ini";
  auto version = [] {
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows Media\\Encoder")) return String("<no key>");
    return registry.ReadString("Version");
  };
  auto write = [&](const String& File, const String& Version) {
    WriteBytes(File, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows Media\\Encoder]\r\nVersion=" + Version + "\r\n");
  };
  write(name, "1.0");
  EXPECT_EQ(version(), "1.0");
  const unsigned reads = RegistryFileReads();
  for (int i = 0; i < 50; ++i) EXPECT_EQ(version(), "1.0");
  EXPECT_EQ(RegistryFileReads(), reads) << "an unchanged file is not parsed again";

  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a later modification time
  write(name, "2.0");  // in place, the same size
  EXPECT_EQ(version(), "2.0");
  write(Dir + "new.ini", "3.0");
  ASSERT_EQ(std::rename((Dir + "new.ini").c_str(), name.c_str()), 0);  // replaced
  EXPECT_EQ(version(), "3.0");
  write(Dir + "other.ini", "4.0");
  SetRegistryFileName(Dir + "other.ini");
  EXPECT_EQ(version(), "4.0");
  SetRegistryFileName(name);
  EXPECT_EQ(version(), "3.0");
  ASSERT_EQ(std::remove(name.c_str()), 0);
  EXPECT_EQ(version(), "<no key>");
  write(name, "5.0");
  EXPECT_EQ(version(), "5.0");
}

TEST(RegistryValueTest, ValueTextsBecomeTypedData)
{
  const struct {
    String Text;
    DWORD Type;
    std::vector<BYTE> Data;
  } cases[] = {
      {"dword:0000002a", REG_DWORD, {0x2a, 0, 0, 0}},
      {"DWORD:ffffffff", REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
      {"dword:1", REG_DWORD, {1, 0, 0, 0}},
      {"dword:123456789", REG_SZ, {}},  // nine digits: a text
      {"dword:", REG_SZ, {}},
      {"dword:12g4", REG_SZ, {}},
      {"hex:01,ff, 10", REG_BINARY, {0x01, 0xff, 0x10}},
      {"hex:", REG_BINARY, {}},
      {"hex:1,,2", REG_SZ, {}},
      {"hex:100", REG_SZ, {}},
      {"hex:-1", REG_SZ, {}},
      {"plain", REG_SZ, {}},
  };
  for (const auto& c : cases) {
    DWORD type = 99;
    std::vector<BYTE> data;
    ParseRegistryValue(c.Text, type, data);
    EXPECT_EQ(type, c.Type) << c.Text;
    std::vector<BYTE> expected = c.Data;
    if (c.Type == REG_SZ) {
      expected.assign(c.Text.begin(), c.Text.end());
      expected.push_back(0);
    }
    EXPECT_EQ(data, expected) << c.Text;
  }
}

}  // namespace

// The work folder's Windows Media Encoder script host stands for the encoder's installation
// key; the file's own value wins; a folder or a file that cannot run is no script host.
TEST_F(TRegistryTest, TheEncoderKeyComesWithTheScriptHost)
{
  const char* Key = "SOFTWARE\\Microsoft\\Windows Media\\Encoder";
  auto Version = [&]() -> std::string {
    HKEY K = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_READ, &K) != 0) return "absent";
    char Data[64] = {};
    DWORD Size = sizeof Data;
    const LONG R = RegQueryValueExA(K, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(Data), &Size);
    RegCloseKey(K);
    return R == 0 ? std::string(Data) : "no value";
  };
  EXPECT_EQ(Version(), "absent");
  WriteBytes(Dir + "qvcscript.exe", "#!/bin/sh\n");
  EXPECT_EQ(Version(), "absent") << "a file that cannot run";
  std::filesystem::permissions(Dir + "qvcscript.exe", std::filesystem::perms::owner_all);
  EXPECT_EQ(Version(), "9.0");
  WriteRegistry();
  EXPECT_EQ(Version(), "9.00.00.2980");
  std::filesystem::remove(Dir + "qvcscript.exe");
  std::filesystem::create_directory(Dir + "qvcscript.exe");
  std::filesystem::remove(Dir + "registry.ini");
  EXPECT_EQ(Version(), "absent") << "a folder";
}
