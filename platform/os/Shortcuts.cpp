#include "platform/os/Shortcuts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/os/CommandLine.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"

namespace {

constexpr DWORD ErrorFileNotFound = 2;

HRESULT CopyText(const String& Text, LPSTR Buffer, int Size)
{
  if (!Buffer || Size <= 0) return E_INVALIDARG;
  if (Text.size() + 1 > static_cast<std::size_t>(Size)) {
    Buffer[0] = 0;
    return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(Buffer, Text.c_str(), Text.size() + 1);
  return S_OK;
}

bool EndsWithNoCase(const String& S, const String& Tail)
{
  if (S.size() < Tail.size()) return false;
  for (std::size_t i = 0; i < Tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(S[S.size() - Tail.size() + i])) != Tail[i]) return false;
  return true;
}

// The value escapes of the desktop entry format.
String EscapeValue(const String& S)
{
  String out;
  for (char c : S) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

String UnescapeValue(const String& S)
{
  String out;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] != '\\' || i + 1 == S.size()) {
      out += S[i];
      continue;
    }
    switch (S[++i]) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\', out += S[i];
    }
  }
  return out;
}

bool NeedsQuotes(const String& Arg)
{
  if (Arg.empty()) return true;
  return Arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`=") != String::npos;
}

}  // namespace

String DesktopExecLine(const std::vector<String>& Argv)
{
  String line;
  for (const String& arg : Argv) {
    String item;
    if (NeedsQuotes(arg)) {
      item += '"';
      for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') item += '\\';
        item += c;
      }
      item += '"';
    } else {
      item = arg;
    }
    String percent;
    for (char c : item) percent += c == '%' ? String("%%") : String(1, c);
    if (!line.empty()) line += ' ';
    line += percent;
  }
  return EscapeValue(line);
}

std::vector<String> ParseDesktopExecLine(const String& Value)
{
  const String line = UnescapeValue(Value);
  std::vector<String> args;
  String current;
  bool inArg = false, quoted = false, fieldCode = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '\\' && i + 1 < line.size()) {
        current += line[++i];
      } else if (c == '"') {
        quoted = false;
      } else if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
        current += '%';
        ++i;
      } else {
        current += c;
      }
    } else if (c == '"') {
      quoted = true;
      inArg = true;
    } else if (c == ' ' || c == '\t' || c == '\n') {
      if (inArg && !(fieldCode && current.empty())) args.push_back(current);
      current.clear();
      inArg = fieldCode = false;
    } else if (c == '%' && i + 1 < line.size()) {
      if (line[i + 1] == '%') current += '%';
      else fieldCode = true;  // %f, %F, %u, %U, %i, %c, %k ...: filled in by launchers, not ours
      inArg = true;
      ++i;
    } else {
      current += c;
      inArg = true;
    }
  }
  if (inArg && !(fieldCode && current.empty())) args.push_back(current);
  return args;
}

String ShellLinkFileName(const String& FileName)
{
  if (EndsWithNoCase(FileName, ".lnk")) return FileName.substr(0, FileName.size() - 4) + ".desktop";
  return FileName;
}

bool DeleteShellLink(const String& FileName) { return DeleteFile(ShellLinkFileName(FileName)); }

HRESULT TShellLink::SetPath(LPCSTR File)
{
  FPath = File ? File : "";
  return S_OK;
}

HRESULT TShellLink::GetPath(LPSTR File, int Size, void*, DWORD) const { return CopyText(FPath, File, Size); }

HRESULT TShellLink::SetArguments(LPCSTR Arguments)
{
  FArguments = Arguments ? Arguments : "";
  return S_OK;
}

HRESULT TShellLink::GetArguments(LPSTR Arguments, int Size) const { return CopyText(FArguments, Arguments, Size); }

HRESULT TShellLink::SetWorkingDirectory(LPCSTR Dir)
{
  FWorkingDirectory = Dir ? Dir : "";
  return S_OK;
}

HRESULT TShellLink::GetWorkingDirectory(LPSTR Dir, int Size) const { return CopyText(FWorkingDirectory, Dir, Size); }

HRESULT TShellLink::SetDescription(LPCSTR Name)
{
  FDescription = Name ? Name : "";
  return S_OK;
}

HRESULT TShellLink::GetDescription(LPSTR Name, int Size) const { return CopyText(FDescription, Name, Size); }

HRESULT TShellLink::Save(const String& FileName, BOOL)
{
  if (FPath.empty() || FileName.empty()) return E_INVALIDARG;
  const String target = ShellLinkFileName(FileName);
  String name = ExtractFileName(target);
  if (EndsWithNoCase(name, ".desktop")) name.resize(name.size() - 8);
  std::vector<String> argv{FPath};
  for (const String& a : qv::os::SplitCommandLine(FArguments)) argv.push_back(a);
  String text = "[Desktop Entry]\nType=Application\nName=" + EscapeValue(name) + "\n";
  if (!FDescription.empty()) text += "Comment=" + EscapeValue(FDescription) + "\n";
  text += "Exec=" + DesktopExecLine(argv) + (FMimeTypes.empty() ? "" : " %F") + "\n";
  if (!FWorkingDirectory.empty()) text += "Path=" + EscapeValue(FWorkingDirectory) + "\n";
  text += "Terminal=false\n";
  if (!FMimeTypes.empty()) text += "MimeType=" + EscapeValue(FMimeTypes) + "\nNoDisplay=true\n";
  TReplacementFile file(target);
  if (file.GetHandle() < 0 || !file.Write(text.data(), text.size()) || !file.Commit(true, false))
    return HRESULT_FROM_WIN32(errno == ENOENT ? 3u : errno == EACCES ? 5u : static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  return S_OK;
}

HRESULT TShellLink::Load(const String& FileName, DWORD)
{
  String file = FileName;
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) file = ShellLinkFileName(FileName);
  std::ifstream in(file, std::ios::binary);
  if (!in) return HRESULT_FROM_WIN32(ErrorFileNotFound);
  String line, group;
  bool application = false, hasExec = false;
  String exec, path, comment;
  std::size_t lines = 0;
  while (std::getline(in, line) && ++lines < 10000) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      group = line;
      continue;
    }
    if (group != "[Desktop Entry]") continue;
    const std::size_t eq = line.find('=');
    if (eq == String::npos) continue;
    String key = line.substr(0, eq), value = line.substr(eq + 1);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    if (key == "Type") application = value == "Application";
    else if (key == "Exec") exec = value, hasExec = true;
    else if (key == "Path") path = UnescapeValue(value);
    else if (key == "Comment") comment = UnescapeValue(value);
  }
  if (!application || !hasExec) return E_FAIL;
  const std::vector<String> argv = ParseDesktopExecLine(exec);
  if (argv.empty()) return E_FAIL;
  FPath = argv[0];
  FArguments = qv::os::JoinCommandLine(std::vector<String>(argv.begin() + 1, argv.end()));
  FWorkingDirectory = path;
  FDescription = comment;
  return S_OK;
}
