#include "platform/display/UriList.h"

namespace {

int HexValue(char C)
{
  if (C >= '0' && C <= '9')
    return C - '0';
  if (C >= 'a' && C <= 'f')
    return C - 'a' + 10;
  if (C >= 'A' && C <= 'F')
    return C - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(const String& Text, const char* Prefix)
{
  for (std::size_t i = 0; Prefix[i]; ++i) {
    if (i >= Text.size())
      return false;
    char c = Text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != Prefix[i])
      return false;
  }
  return true;
}

bool EqualNoCase(const String& A, const String& B)
{
  if (A.size() != B.size())
    return false;
  for (std::size_t i = 0; i < A.size(); ++i) {
    char a = A[i], b = B[i];
    if (a >= 'A' && a <= 'Z')
      a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z')
      b = static_cast<char>(b - 'A' + 'a');
    if (a != b)
      return false;
  }
  return true;
}

} // namespace

String PercentDecode(const String& Text)
{
  String out;
  out.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '%' && i + 2 < Text.size() && HexValue(Text[i + 1]) >= 0 && HexValue(Text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(Text[i + 1]) * 16 + HexValue(Text[i + 2]));
      i += 2;
    } else {
      out += Text[i];
    }
  }
  return out;
}

std::vector<String> FileNamesFromUriList(const String& Text, const String& HostName)
{
  std::vector<String> names;
  std::size_t pos = 0;
  while (pos < Text.size()) {
    std::size_t end = Text.find('\n', pos);
    if (end == String::npos)
      end = Text.size();
    String line = Text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    if (line.empty() || line[0] == '#' || !StartsWithNoCase(line, "file:"))
      continue;
    String rest = line.substr(5);
    String path;
    if (rest.compare(0, 2, "//") == 0) {
      std::size_t slash = rest.find('/', 2);
      if (slash == String::npos)
        continue;
      String host = rest.substr(2, slash - 2);
      if (!host.empty() && !EqualNoCase(host, "localhost") && !EqualNoCase(host, HostName))
        continue;
      path = rest.substr(slash);
    } else {
      path = rest;
    }
    // A query or a fragment does not belong to the file name.
    std::size_t cut = path.find_first_of("?#");
    if (cut != String::npos)
      path.erase(cut);
    path = PercentDecode(path);
    if (path.empty() || path[0] != '/' || path.find('\0') != String::npos)
      continue;
    names.push_back(path);
  }
  return names;
}
