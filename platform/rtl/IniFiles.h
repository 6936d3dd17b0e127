// INI files: "[section]" headers followed by "key=value" lines. TMemIniFile keeps the whole
// file in memory and writes it back on UpdateFile; TIniFile writes every change at once.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"

class TStrings;
class TStringList;

QV_DECLARE_EXCEPTION(EIniFileException, Exception);

// The reading and writing interface of INI files; typed values are stored as text.
class TCustomIniFile : public TObject {
public:
  explicit TCustomIniFile(const String& FileName) : FFileName(FileName) {}
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const String& GetFileName() const { return FFileName; }

  // True when the section holds at least one line.
  virtual bool SectionExists(const String& Section);
  virtual String ReadString(const String& Section, const String& Ident, const String& Default) = 0;
  virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
  // Decimal, or hex after "0x"/"$"; Default when missing or not a number.
  virtual Integer ReadInteger(const String& Section, const String& Ident, Integer Default);
  virtual void WriteInteger(const String& Section, const String& Ident, Integer Value);
  // Any integer other than 0 is true; Default when missing or not a number ("true" included).
  virtual bool ReadBool(const String& Section, const String& Ident, bool Default);
  // Writes "1" or "0".
  virtual void WriteBool(const String& Section, const String& Ident, bool Value);
  // Default when missing or not a number.
  virtual double ReadFloat(const String& Section, const String& Ident, double Default);
  virtual void WriteFloat(const String& Section, const String& Ident, double Value);
  // The key names of the section, in file order (a line without "=" counts as a key).
  virtual void ReadSection(const String& Section, TStrings* Strings) = 0;
  // Every section name, in file order.
  virtual void ReadSections(TStrings* Strings) = 0;
  // Every line of the section ("key=value").
  virtual void ReadSectionValues(const String& Section, TStrings* Strings) = 0;
  virtual void EraseSection(const String& Section) = 0;
  virtual void DeleteKey(const String& Section, const String& Ident) = 0;
  virtual bool ValueExists(const String& Section, const String& Ident);
  virtual void UpdateFile() = 0;

protected:
  String FFileName;
};

// The INI file in memory, loaded by the constructor when the file exists and written by
// UpdateFile. Section and key names are case-insensitive (A-Z) unless CaseSensitive.
// Section and key names are trimmed wherever they are given, as the file would trim them.
// Parsing: lines are trimmed; empty lines and ";" comments are skipped; "[name]" opens a
// section (a repeated section continues the first one); in a section, "key = value" is kept
// as "key=value" and other lines as they are; lines before the first section are dropped.
// Writes refuse (EIniFileException) line breaks anywhere and, in key names, "=" or a leading
// ";" or "[", which could not be read back from the file as written.
class TMemIniFile : public TCustomIniFile {
public:
  explicit TMemIniFile(const String& FileName);
  ~TMemIniFile() override;

  void Clear();
  // The file's contents as lines: each section as "[name]", its lines, then an empty line.
  void GetStrings(TStrings* List);
  // Replaces the contents by List parsed as an INI file.
  void SetStrings(TStrings* List);
  // Changes the file name, and reloads from the new file when Reload.
  void Rename(const String& FileName, bool Reload);

  String ReadString(const String& Section, const String& Ident, const String& Default) override;
  // Replaces the key's first line in place, or appends it (and the section at the end).
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const String& Section, TStrings* Strings) override;
  void EraseSection(const String& Section) override;
  // Deletes every line of the key.
  void DeleteKey(const String& Section, const String& Ident) override;
  // Writes GetStrings to the file with CR LF line breaks, safely (see AtomicSaveToFile).
  void UpdateFile() override;

  bool GetCaseSensitive() const { return FCaseSensitive; }
  // Sections that become equal under the new rule are merged (keys stay: the first wins).
  void SetCaseSensitive(bool Value);

  bool SectionExists(const String& Section) override;
  bool ValueExists(const String& Section, const String& Ident) override;

protected:
  struct TSection {
    String Name;
    std::vector<String> Lines;
  };

  // Reads the file (or clears when it doesn't exist).
  void LoadValues();
  TSection* FindSection(const String& Section);
  // Index of the section's first "Ident=..." line, or -1.
  int IndexOfKey(const TSection& Section, const String& Ident) const;

  // Equal section or key names under the CaseSensitive rule.
  bool SameName(std::string_view A, std::string_view B) const;

private:
  TSection& AddSection(const String& Section);
  // The index key of a section name under the CaseSensitive rule.
  String SectionKey(std::string_view Name) const;
  void RebuildIndex();

  std::vector<TSection> FSections;
  // Section name key -> its place in FSections, so that finding a section (and reading a file
  // of many sections) does not walk the whole list.
  std::unordered_map<String, std::size_t> FSectionIndex;
  bool FCaseSensitive = false;
};

// An INI file written through: every WriteString, EraseSection and DeleteKey saves the file
// at once, raising EIniFileException "Unable to write to <file>" when it can't. Only the lines
// concerned change: the key's line is replaced in place, a new key follows the last entry of
// its section, a new section goes at the end, and comments, blank lines and lines before the
// first section stay as they were. Every access first reloads the file if it changed on disk
// since this object last read or wrote it, so several objects (or programs) using one file
// don't undo each other's changes.
class TIniFile : public TMemIniFile {
public:
  explicit TIniFile(const String& FileName);

  String ReadString(const String& Section, const String& Ident, const String& Default) override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const String& Section, TStrings* Strings) override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  // Writes the file again (after reloading it if it changed on disk).
  void UpdateFile() override;
  bool SectionExists(const String& Section) override;
  bool ValueExists(const String& Section, const String& Ident) override;

private:
  // Identity of the file as last read or written: device, inode, size, modification time.
  struct TFileStamp {
    bool Exists = false;
    UInt64 Device = 0, Inode = 0;
    Int64 Size = 0, MTimeSec = 0, MTimeNSec = 0;
    bool operator==(const TFileStamp&) const = default;
  };

  static TFileStamp StampOf(const String& FileName);
  void Refresh();
  // Re-reads the sections from FLines, then writes FLines to the file.
  void Commit();
  void Save();

  std::vector<String> FLines;  // the file's lines as last read or written, comments and all
  TFileStamp FStamp;
  bool FStampValid = false;
};
