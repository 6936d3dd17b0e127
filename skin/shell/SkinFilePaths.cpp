#include "skin/shell/SkinFilePaths.h"

#include "platform/os/Drives.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Canvas.h"

namespace {

// The part after the last '/' and the part up to and including it.
String NamePart(const String& Path)
{
  const auto p = Path.rfind('/');
  return p == String::npos ? Path : Path.substr(p + 1);
}

String FolderPartOf(const String& Path)
{
  const auto p = Path.rfind('/');
  return p == String::npos ? String() : Path.substr(0, p + 1);
}

bool HasWildcard(const String& S) { return S.find_first_of("*?") != String::npos; }

String CaseLike(char Letter, const String& Text)
{
  return (Letter >= 'a' && Letter <= 'z') ? AnsiLowerCase(Text) : AnsiUpperCase(Text);
}

String RootOfLetter(char Letter)
{
  String r(1, Letter);
  r += ":\\";
  return r;
}

}  // namespace

bool IsExistingDirectory(const String& Name) { return !Name.empty() && DirectoryExists(Name); }

String AppendPathPart(const String& Path, const String& Part)
{
  if (!Path.empty() && Path.back() == '/')
    return Path + Part;
  return Path + "/" + Part;
}

int CountPathLevels(const String& Path)
{
  int n = 0;
  for (char c : Path)
    n += c == '/';
  return n;
}

void CutFirstPathFolder(String& Path)
{
  if (Path == "/") {
    Path.clear();
    return;
  }
  const bool leading = !Path.empty() && Path[0] == '/';
  if (leading)
    Path.erase(0, 1);
  if (Path.compare(0, 4, ".../") == 0)
    Path.erase(0, 4);
  const auto p = Path.find('/');
  if (p != String::npos)
    Path = ".../" + Path.substr(p + 1);
  else
    Path.clear();
  if (leading)
    Path = "/" + Path;
}

String ShortenPathToWidth(const String& FileName, TCanvas* Canvas, int MaxWidth)
{
  String result = FileName;
  String dir = FolderPartOf(FileName);
  const String name = NamePart(FileName);
  while (!dir.empty() && Canvas->TextWidth(result) > MaxWidth) {
    if (dir == "/.../")
      dir = ".../";
    else
      CutFirstPathFolder(dir);
    result = dir + name;
  }
  return result;
}

char DriveOfPath(const String& Path)
{
  TVolume v;
  if (Path.empty() || !Volumes().FindContaining(ExpandFileName(Path), v))
    return 0;
  return v.Letter;
}

String DriveRootFolder(char Letter)
{
  if (Letter == 0)
    return String();
  return DriveRootPath(static_cast<char>(Letter >= 'a' && Letter <= 'z' ? Letter - 32 : Letter));
}

void ChangeDirectory(const String& Folder)
{
  if (!SetCurrentDir(Folder)) {
    const int code = static_cast<int>(GetLastError());
    EInOutError e(Format(RtlConsts::SInOutError, code));
    e.ErrorCode = code;
    throw e;
  }
}

void SplitEditPath(const String& Text, char& Drive, String& FolderPart, String& FilePart)
{
  const String saved = GetCurrentDir();
  FolderPart = Text;
  if (Text.size() >= 2 && Text.front() == '[' && Text.back() == ']')
    FolderPart = Text.substr(1, Text.size() - 2);
  struct TRestore {
    String Dir;
    ~TRestore()
    {
      if (IsExistingDirectory(Dir))
        SetCurrentDir(Dir);
    }
  } restore{saved};

  FilePart = NamePart(FolderPart);
  if (FolderPart.size() == FilePart.size() + 1)
    FolderPart = "/";
  else if (FolderPart.size() > FilePart.size())
    FolderPart.resize(FolderPart.size() - FilePart.size() - 1);
  else
    FolderPart = saved.empty() ? String("/") : saved;
  if (!FolderPart.empty())
    ChangeDirectory(FolderPart);
  if (!FilePart.empty() && !HasWildcard(FilePart) && !FileExists(FilePart)) {
    ChangeDirectory(FilePart);
    FolderPart = FolderPart == "/" ? "/" + FilePart : FolderPart + "/" + FilePart;
    FilePart.clear();
  }
  FolderPart = GetCurrentDir();
  Drive = DriveOfPath(FolderPart);
}

String GetVolumeText(char Letter)
{
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  char label[261] = {};
  if (!GetVolumeInformationA(RootOfLetter(Letter).c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                             nullptr, 0))
    label[0] = 0;
  SetErrorMode(oldMode);
  return "[" + CaseLike(Letter, label) + "]";
}

String GetNetworkVolumeText(char Letter)
{
  String local(1, static_cast<char>(Letter >= 'a' && Letter <= 'z' ? Letter - 32 : Letter));
  local += ":";
  char remote[261] = {};
  DWORD length = sizeof remote;
  if (WNetGetConnectionA(local.c_str(), remote, &length) != 0)
    return GetVolumeText(Letter);
  return CaseLike(Letter, remote);
}
