#include "platform/rtl/Paths.h"

#include <cerrno>
#include <unistd.h>

#include <vector>

#include "platform/rtl/Exceptions.h"

namespace {

bool IsSep(char C)
{
  return C == '/' || C == '\\';
}

bool IsDriveLetter(char C)
{
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}

// 0-based index of the last separator, or npos.
size_t LastSep(const String& S)
{
  return S.find_last_of("/\\");
}

// Splits a native path into its non-empty parts.
std::vector<String> SplitParts(const String& Path)
{
  std::vector<String> parts;
  size_t start = 0;
  while (start <= Path.size()) {
    size_t end = Path.find('/', start);
    if (end == String::npos)
      end = Path.size();
    if (end > start)
      parts.push_back(Path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

String SubPath(const String& Folder, const String& Piece)
{
  String piece = Piece;
  for (char& c : piece)
    if (c == '\\')
      c = '/';
  if (Folder.empty())
    return piece;
  if (!piece.empty() && piece[0] == '/')
    piece.erase(0, 1);
  return Folder.back() == '/' ? Folder + piece : Folder + "/" + piece;
}

bool IsPathDelimiter(const String& S, int Index)
{
  return Index >= 1 && static_cast<size_t>(Index) <= S.size() && IsSep(S[Index - 1]);
}

String IncludeTrailingPathDelimiter(const String& S)
{
  if (!S.empty() && IsSep(S.back()))
    return S;
  return S + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& S)
{
  if (S.size() > 1 && IsSep(S.back()))
    return S.substr(0, S.size() - 1);
  return S;
}

String IncludeTrailingBackslash(const String& S)
{
  return IncludeTrailingPathDelimiter(S);
}

String ExcludeTrailingBackslash(const String& S)
{
  return ExcludeTrailingPathDelimiter(S);
}

String ExtractFilePath(const String& FileName)
{
  size_t i = LastSep(FileName);
  return i == String::npos ? String() : FileName.substr(0, i + 1);
}

String ExtractFileDir(const String& FileName)
{
  size_t i = LastSep(FileName);
  if (i == String::npos)
    return String();
  // Keep the separator of a root: "/", "X:\", and the "\\" or "//" of a UNC name.
  bool root = i == 0 || IsSep(FileName[i - 1]) ||
              (i == 2 && FileName[1] == ':' && IsDriveLetter(FileName[0]));
  return FileName.substr(0, root ? i + 1 : i);
}

String ExtractFileName(const String& FileName)
{
  size_t i = LastSep(FileName);
  return i == String::npos ? FileName : FileName.substr(i + 1);
}

String NativeFileName(const String& Path)
{
  const size_t i = Path.rfind('/');
  return i == String::npos ? Path : Path.substr(i + 1);
}

String ExtractFileExt(const String& FileName)
{
  size_t i = FileName.find_last_of("./\\");
  if (i == String::npos || FileName[i] != '.')
    return String();
  return FileName.substr(i);
}

String ExtractFileDrive(const String& FileName)
{
  if (FileName.size() >= 2 && FileName[1] == ':' && IsDriveLetter(FileName[0]))
    return FileName.substr(0, 2);
  if (FileName.size() >= 2 && IsSep(FileName[0]) && IsSep(FileName[1])) {
    // "\\server\share": up to, not including, the separator after the share name.
    int separators = 0;
    size_t i = 2;
    for (; i < FileName.size(); ++i) {
      if (IsSep(FileName[i]) && ++separators == 2)
        break;
    }
    return FileName.substr(0, i);
  }
  return String();
}

String ChangeFileExt(const String& FileName, const String& Extension)
{
  size_t i = FileName.find_last_of("./\\");
  if (i == String::npos || FileName[i] != '.')
    return FileName + Extension;
  return FileName.substr(0, i) + Extension;
}

String ExpandFileName(const String& FileName)
{
  if (FileName.empty())
    return String();
  String path = FileName;
  if (path[0] != '/')
    path = GetCurrentDir() + "/" + path;
  std::vector<String> resolved;
  for (String& part : SplitParts(path)) {
    if (part == ".")
      continue;
    if (part == "..") {
      if (!resolved.empty())
        resolved.pop_back();
      continue;
    }
    resolved.push_back(std::move(part));
  }
  String result;
  for (const String& part : resolved)
    result += "/" + part;
  if (result.empty() || FileName.back() == '/')
    result += "/";
  return result;
}

String ExtractRelativePath(const String& BaseName, const String& DestName)
{
  // Expanded names split on '/' only, as the file system does.
  const String baseFull = ExpandFileName(BaseName);
  const String dest = ExpandFileName(DestName);
  std::vector<String> base = SplitParts(baseFull.substr(0, baseFull.rfind('/') + 1));
  const size_t destSep = dest.rfind('/');
  std::vector<String> destDirs = SplitParts(dest.substr(0, destSep + 1));
  size_t common = 0;
  while (common < base.size() && common < destDirs.size() && base[common] == destDirs[common])
    ++common;
  String result;
  for (size_t i = common; i < base.size(); ++i)
    result += "../";
  for (size_t i = common; i < destDirs.size(); ++i)
    result += destDirs[i] + "/";
  return result + dest.substr(destSep + 1);
}

String GetCurrentDir()
{
  std::vector<char> buffer(256);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()))
      return String(buffer.data());
    if (errno != ERANGE) {
      SetLastError(Win32ErrorOfErrno(errno));
      return String();
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool SetCurrentDir(const String& Dir)
{
  if (chdir(Dir.c_str()) != 0) {
    SetLastError(Win32ErrorOfErrno(errno));
    return false;
  }
  return true;
}
