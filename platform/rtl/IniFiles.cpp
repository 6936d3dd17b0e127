#include "platform/rtl/IniFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

bool HasLineBreak(const String& S)
{
  return S.find_first_of("\r\n") != String::npos;
}

// A "[name]" line: Name gets the trimmed name. The parser and the in-place edits of TIniFile
// classify lines with these two, so both read a file alike.
bool IsSectionLine(const String& Line, String& Name)
{
  const String s = Trim(Line);
  if (s.size() < 2 || s.front() != '[' || s.back() != ']') return false;
  Name = Trim(s.substr(1, s.size() - 2));
  return true;
}

// A "key=value" line (not a section, comment or blank line): Name gets the trimmed key.
bool IsKeyLine(const String& Line, String& Name)
{
  const String s = Trim(Line);
  const auto p = s.find('=');
  if (s.empty() || s[0] == ';' || p == String::npos) return false;
  Name = Trim(s.substr(0, p));
  return true;
}

}  // namespace

// --- TCustomIniFile ---

bool TCustomIniFile::SectionExists(const String& Section)
{
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.GetCount() > 0;
}

Integer TCustomIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default)
{
  String text = ReadString(Section, Ident, String());
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = "$" + text.substr(2);
  return StrToIntDef(text, Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value)
{
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default)
{
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value)
{
  WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, double Default)
{
  const String text = ReadString(Section, Ident, String());
  double value;
  return !text.empty() && TryStrToFloat(text, value) ? value : Default;
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, double Value)
{
  WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident)
{
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) >= 0;
}

// --- TMemIniFile ---

TMemIniFile::TMemIniFile(const String& FileName) : TCustomIniFile(FileName)
{
  LoadValues();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadValues()
{
  if (!FFileName.empty() && FileExists(FFileName)) {
    TStringList list;
    list.LoadFromFile(FFileName);
    SetStrings(&list);
  } else {
    Clear();
  }
}

void TMemIniFile::Clear()
{
  FSections.clear();
  FSectionIndex.clear();
}

String TMemIniFile::SectionKey(std::string_view Name) const
{
  String key(Name);
  if (!FCaseSensitive)
    for (char& c : key) c = UpCase(c);
  return key;
}

void TMemIniFile::RebuildIndex()
{
  FSectionIndex.clear();
  for (std::size_t i = 0; i < FSections.size(); ++i) FSectionIndex.emplace(SectionKey(FSections[i].Name), i);
}

bool TMemIniFile::SameName(std::string_view A, std::string_view B) const
{
  if (A.size() != B.size()) return false;
  if (FCaseSensitive) return A == B;
  for (std::size_t i = 0; i < A.size(); ++i)
    if (UpCase(A[i]) != UpCase(B[i])) return false;
  return true;
}

TMemIniFile::TSection* TMemIniFile::FindSection(const String& Section)
{
  const auto found = FSectionIndex.find(SectionKey(Trim(Section)));
  return found == FSectionIndex.end() ? nullptr : &FSections[found->second];
}

TMemIniFile::TSection& TMemIniFile::AddSection(const String& Section)
{
  FSections.push_back(TSection{Trim(Section), {}});
  FSectionIndex.emplace(SectionKey(FSections.back().Name), FSections.size() - 1);  // the first of a name wins
  return FSections.back();
}

int TMemIniFile::IndexOfKey(const TSection& Section, const String& Ident) const
{
  const String name = Trim(Ident);
  for (std::size_t i = 0; i < Section.Lines.size(); ++i) {
    const String& line = Section.Lines[i];
    const auto p = line.find('=');
    if (p != String::npos && SameName(std::string_view(line).substr(0, p), name)) return static_cast<int>(i);
  }
  return -1;
}

void TMemIniFile::GetStrings(TStrings* List)
{
  TStringsUpdate fill(List);
  List->Clear();
  for (const auto& section : FSections) {
    List->Add("[" + section.Name + "]");
    for (const auto& line : section.Lines) List->Add(line);
    List->Add(String());
  }
}

void TMemIniFile::SetStrings(TStrings* List)
{
  std::vector<TSection> old;
  old.swap(FSections);
  std::unordered_map<String, std::size_t> oldIndex;
  oldIndex.swap(FSectionIndex);
  try {
    int current = -1;
    const int count = List->GetCount();
    for (int i = 0; i < count; ++i) {
      const String s = Trim(List->Get(i));
      if (s.empty() || s[0] == ';') continue;
      String name;
      if (IsSectionLine(s, name)) {
        // A repeated section continues the first one of that name.
        const TSection* found = FindSection(name);
        if (found == nullptr) found = &AddSection(name);
        current = static_cast<int>(found - FSections.data());
      } else if (current >= 0) {
        const auto p = s.find('=');
        FSections[current].Lines.push_back(p == String::npos ? s : Trim(s.substr(0, p)) + "=" + Trim(s.substr(p + 1)));
      }
    }
  } catch (...) {
    FSections.swap(old);
    FSectionIndex.swap(oldIndex);
    throw;
  }
}

void TMemIniFile::Rename(const String& FileName, bool Reload)
{
  FFileName = FileName;
  if (Reload) LoadValues();
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default)
{
  const TSection* section = FindSection(Section);
  if (section == nullptr) return Default;
  const int i = IndexOfKey(*section, Ident);
  if (i < 0) return Default;
  const String& line = section->Lines[i];
  return line.substr(line.find('=') + 1);
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
  const String name = Trim(Ident);
  // Refuse what the file could not give back: the entry would turn into other lines.
  if (HasLineBreak(Section) || HasLineBreak(name) || HasLineBreak(Value) || name.find('=') != String::npos ||
      (!name.empty() && (name[0] == ';' || name[0] == '[')))
    throw EIniFileException(RtlConsts::SIniFileInvalidEntry, {Section, Ident});
  TSection* section = FindSection(Section);
  if (section == nullptr) section = &AddSection(Section);
  const String line = name + "=" + Value;
  const int i = IndexOfKey(*section, name);
  if (i >= 0)
    section->Lines[i] = line;
  else
    section->Lines.push_back(line);
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings)
{
  TStringsUpdate fill(Strings);
  Strings->Clear();
  const TSection* section = FindSection(Section);
  if (section == nullptr) return;
  for (const auto& line : section->Lines) {
    const auto p = line.find('=');
    Strings->Add(p == String::npos ? line : line.substr(0, p));
  }
}

void TMemIniFile::ReadSections(TStrings* Strings)
{
  TStringsUpdate fill(Strings);
  Strings->Clear();
  for (const auto& section : FSections) Strings->Add(section.Name);
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings)
{
  TStringsUpdate fill(Strings);
  Strings->Clear();
  const TSection* section = FindSection(Section);
  if (section == nullptr) return;
  for (const auto& line : section->Lines) Strings->Add(line);
}

void TMemIniFile::EraseSection(const String& Section)
{
  const TSection* section = FindSection(Section);
  if (section != nullptr) {
    FSections.erase(FSections.begin() + (section - FSections.data()));
    RebuildIndex();
  }
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident)
{
  TSection* section = FindSection(Section);
  if (section == nullptr) return;
  for (int i; (i = IndexOfKey(*section, Ident)) >= 0;) section->Lines.erase(section->Lines.begin() + i);
}

void TMemIniFile::UpdateFile()
{
  TStringList list;
  GetStrings(&list);
  list.SaveToFile(FFileName);
}

void TMemIniFile::SetCaseSensitive(bool Value)
{
  if (Value == FCaseSensitive) return;
  TStringList list;
  GetStrings(&list);
  FCaseSensitive = Value;
  try {
    SetStrings(&list);
  } catch (...) {
    FCaseSensitive = !Value;  // the old sections and their index are back
    throw;
  }
}

bool TMemIniFile::SectionExists(const String& Section)
{
  const TSection* section = FindSection(Section);
  return section != nullptr && !section->Lines.empty();
}

bool TMemIniFile::ValueExists(const String& Section, const String& Ident)
{
  const TSection* section = FindSection(Section);
  return section != nullptr && IndexOfKey(*section, Ident) >= 0;
}

// --- TIniFile ---

TIniFile::TIniFile(const String& FileName) : TMemIniFile(FileName)
{
  Refresh();
}

TIniFile::TFileStamp TIniFile::StampOf(const String& FileName)
{
  TFileStamp stamp;
  struct stat st;
  if (FileName.empty() || ::stat(FileName.c_str(), &st) != 0) return stamp;
  stamp.Exists = true;
  stamp.Device = st.st_dev;
  stamp.Inode = st.st_ino;
  stamp.Size = st.st_size;
  stamp.MTimeSec = st.st_mtim.tv_sec;
  stamp.MTimeNSec = st.st_mtim.tv_nsec;
  return stamp;
}

void TIniFile::Refresh()
{
  // The stamp is taken before reading, so a change made meanwhile is seen next time.
  const TFileStamp stamp = StampOf(FFileName);
  if (FStampValid && stamp == FStamp) return;
  TStringList list;
  if (!FFileName.empty() && FileExists(FFileName)) list.LoadFromFile(FFileName);
  SetStrings(&list);
  std::vector<String> lines;
  lines.reserve(static_cast<std::size_t>(list.GetCount()));
  for (int i = 0; i < list.GetCount(); ++i) lines.push_back(list[i]);
  FLines.swap(lines);
  FStamp = stamp;
  FStampValid = true;
}

void TIniFile::Commit()
{
  TStringList list;
  for (const auto& line : FLines) list.Add(line);
  SetStrings(&list);
  Save();
}

void TIniFile::Save()
{
  try {
    String text;
    for (const auto& line : FLines) text += line + sLineBreak;
    AtomicSaveToFile(FFileName, text.data(), text.size());
  } catch (const Exception&) {
    // Memory now differs from the file: read the file again at the next access.
    FStampValid = false;
    throw EIniFileException(RtlConsts::SIniFileWriteError, {FFileName});
  }
  FStamp = StampOf(FFileName);
  FStampValid = true;
}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default)
{
  Refresh();
  return TMemIniFile::ReadString(Section, Ident, Default);
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
  Refresh();
  TMemIniFile::WriteString(Section, Ident, Value);  // refuses what could not be read back
  const String section = Trim(Section), name = Trim(Ident), line = name + "=" + Value;
  // The key's first line in a section of that name is replaced; a new key goes after the
  // last entry (or the header) of the first such section.
  int insertAt = -1;
  bool inSection = false, inFirst = false;
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    String found;
    if (IsSectionLine(FLines[i], found)) {
      inSection = SameName(found, section);
      inFirst = inSection && insertAt < 0;
      if (inFirst) insertAt = static_cast<int>(i) + 1;
    } else if (inSection && IsKeyLine(FLines[i], found)) {
      if (SameName(found, name)) {
        FLines[i] = line;
        Commit();
        return;
      }
      if (inFirst) insertAt = static_cast<int>(i) + 1;
    }
  }
  if (insertAt >= 0) {
    FLines.insert(FLines.begin() + insertAt, line);
  } else {
    if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.emplace_back();
    FLines.push_back("[" + section + "]");
    FLines.push_back(line);
    FLines.emplace_back();
  }
  Commit();
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings)
{
  Refresh();
  TMemIniFile::ReadSection(Section, Strings);
}

void TIniFile::ReadSections(TStrings* Strings)
{
  Refresh();
  TMemIniFile::ReadSections(Strings);
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings)
{
  Refresh();
  TMemIniFile::ReadSectionValues(Section, Strings);
}

void TIniFile::EraseSection(const String& Section)
{
  Refresh();
  if (FindSection(Section) == nullptr) return;
  // Every section of that name goes, with all its lines up to the next section.
  const String section = Trim(Section);
  std::vector<String> kept;
  bool inSection = false;
  for (auto& line : FLines) {
    String found;
    if (IsSectionLine(line, found)) inSection = SameName(found, section);
    if (!inSection) kept.push_back(std::move(line));
  }
  FLines.swap(kept);
  Commit();
}

void TIniFile::DeleteKey(const String& Section, const String& Ident)
{
  Refresh();
  if (!TMemIniFile::ValueExists(Section, Ident)) return;
  const String section = Trim(Section), name = Trim(Ident);
  std::vector<String> kept;
  bool inSection = false;
  for (auto& line : FLines) {
    String found;
    if (IsSectionLine(line, found))
      inSection = SameName(found, section);
    else if (inSection && IsKeyLine(line, found) && SameName(found, name))
      continue;
    kept.push_back(std::move(line));
  }
  FLines.swap(kept);
  Commit();
}

void TIniFile::UpdateFile()
{
  Refresh();
  Save();
}

bool TIniFile::SectionExists(const String& Section)
{
  Refresh();
  return TMemIniFile::SectionExists(Section);
}

bool TIniFile::ValueExists(const String& Section, const String& Ident)
{
  Refresh();
  return TMemIniFile::ValueExists(Section, Ident);
}
