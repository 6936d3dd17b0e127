#include <gtest/gtest.h>

#include "platform/display/UriList.h"

TEST(UriList, KeepsLocalFileNamesDecoded)
{
  struct {
    const char* Text;
    std::vector<String> Expected;
  } cases[] = {
      {"file:///tmp/a%20b.mkv\r\n", {"/tmp/a b.mkv"}},
      {"file:///x/%C3%BC.avi\nfile:///y.avi", {"/x/\xC3\xBC.avi", "/y.avi"}}, // LF only, no final break
      {"# comment\r\nfile://localhost/home/u/v.mp4\r\nFILE://myhost/z\r\n", {"/home/u/v.mp4", "/z"}},
      {"file://otherhost/secret\r\nhttp://example.org/a.avi\r\n\r\n", {}},
      {"file:/short/form\r\n", {"/short/form"}},
      {"file:///a%2\r\nfile:///b%zz%41\r\n", {"/a%2", "/b%zzA"}}, // broken escapes stay
      {"file:///nul%00byte\r\nfile://\r\nfile:relative\r\n", {}},  // unsafe or no path
      {"file:///q%3Fok?query#frag\r\n", {"/q?ok"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(FileNamesFromUriList(c.Text, "myhost"), c.Expected);
  }
}
