// TStrings, the abstract list of strings with associated objects, and TStringList, the one
// that keeps them in memory (optionally sorted).
#pragma once

#include <exception>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/System.h"

class TStream;

// A list of strings, each with an optional object pointer (never owned here). Descendants
// provide the storage (Get, GetCount, Insert, Delete, Clear ...); everything else is built on
// those. Lines of "name=value" form can be addressed by name (Values, Names).
class TStrings : public TPersistent {
public:
  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  virtual int Add(const String& S);
  virtual int AddObject(const String& S, TObject* AObject);
  void Append(const String& S);
  // Appends every string and object of Strings (a snapshot: Strings may be this list).
  virtual void AddStrings(TStrings* Strings);
  // From another TStrings: its strings, objects and the Delimiter, QuoteChar,
  // NameValueSeparator and StrictDelimiter settings. Anything else as TPersistent.
  void Assign(TPersistent* Source) override;
  // Updates nest; change notifications are held back until the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Insert(int Index, const String& S) = 0;
  virtual void InsertObject(int Index, const String& S, TObject* AObject);
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  // Index of the first string that compares equal by CompareStrings, or -1.
  virtual int IndexOf(const String& S) const;
  // Index of the first "name=value" line whose name compares equal, or -1.
  virtual int IndexOfName(const String& Name) const;
  virtual int IndexOfObject(TObject* AObject) const;
  // Same count and the same strings, compared byte for byte.
  virtual bool Equals(TStrings* Strings) const;
  // Reads the file's bytes as text (lines end in CR LF, LF or CR; a UTF-8 byte order mark is
  // dropped). EFOpenError "Cannot open file "name". <system text>" when it can't be opened.
  virtual void LoadFromFile(const String& FileName);
  // Reads from Stream's position to its end.
  virtual void LoadFromStream(TStream* Stream);
  // Writes GetText() safely: the old file stays intact unless the new one is complete
  // (see AtomicSaveToFile in Streams.h).
  virtual void SaveToFile(const String& FileName) const;
  virtual void SaveToStream(TStream* Stream) const;

  String operator[](int Index) const { return Get(Index); }
  virtual String Get(int Index) const = 0;
  virtual void Put(int Index, const String& S);
  virtual TObject* GetObject(int Index) const;
  virtual void PutObject(int Index, TObject* AObject);
  virtual int GetCount() const = 0;
  virtual int GetCapacity() const;
  virtual void SetCapacity(int NewCapacity);

  // The part before the first NameValueSeparator ("" when there is none).
  String GetName(int Index) const;
  // The part after the separator of the line named Name ("" when there is none).
  String GetValue(const String& Name) const;
  // Replaces the line named Name, adds "Name=Value" when there is none (at its place in a
  // sorted list); an empty Value deletes the line.
  void SetValue(const String& Name, const String& Value);
  String GetValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const String& Value);

  // Every string followed by CR LF.
  virtual String GetText() const;
  // Splits at CR LF, LF or a lone CR; a final line break adds no empty line.
  virtual void SetText(const String& Value);
  // DelimitedText with ',' and '"' and StrictDelimiter off.
  String GetCommaText() const;
  void SetCommaText(const String& Value);
  // The strings separated by Delimiter. Strings holding the delimiter, the quote character or
  // (unless StrictDelimiter) blanks or control characters are quoted with QuoteChar, inner
  // quotes doubled; a list of one empty string gives two quote characters. Parsing takes
  // quoted items with doubled quotes and unquoted items up to the delimiter (or, unless
  // StrictDelimiter, a blank or control character), skipping blanks between items.
  String GetDelimitedText() const;
  void SetDelimitedText(const String& Value);
  char GetDelimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char GetQuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  char GetNameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
  bool GetStrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

protected:
  // Called with true when the first BeginUpdate starts and false when the last EndUpdate ends.
  virtual void SetUpdateState(bool Updating);
  // The comparison of IndexOf, IndexOfName and sorting: AnsiCompareText here.
  virtual int CompareStrings(const String& S1, const String& S2) const;
  // Raises EListError (index, capacity and count errors) or EStringListError with Msg
  // formatted with Data.
  [[noreturn]] void Error(const char* Msg, int Data) const;
  int GetUpdateCount() const { return FUpdateCount; }

private:
  String BuildDelimitedText(char Delimiter, char QuoteChar, bool Strict) const;
  void ParseDelimitedText(const String& Value, char Delimiter, char QuoteChar, bool Strict);

  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
};

// BeginUpdate ... EndUpdate around a block, as try/finally would. An EndUpdate that raises
// while another exception is already on its way is dropped.
class TStringsUpdate {
public:
  explicit TStringsUpdate(TStrings* AStrings) : FStrings(AStrings) { FStrings->BeginUpdate(); }
  TStringsUpdate(const TStringsUpdate&) = delete;
  TStringsUpdate& operator=(const TStringsUpdate&) = delete;
  ~TStringsUpdate() noexcept(false);

private:
  TStrings* FStrings;
  int FExceptions = std::uncaught_exceptions();
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Answers < 0, 0 or > 0 as the string at Index1 sorts before, with or after the one at Index2.
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

// The string list in memory. When Sorted, strings are kept in CompareStrings order: Add puts
// a string at its place (before equal ones), Duplicates decides about equal strings, and
// IndexOf and Find use a binary search. OnChanging and OnChange fire around every change
// unless an update is in progress (then once at its end).
class TStringList : public TStrings {
public:
  TStringList() = default;
  ~TStringList() override;

  int Add(const String& S) override;
  int AddObject(const String& S, TObject* AObject) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  // Binary search of a sorted list: true with the index of the first equal string, else
  // false with the index where S would be inserted.
  virtual bool Find(const String& S, int& Index) const;
  int IndexOf(const String& S) const override;
  void Insert(int Index, const String& S) override;
  void InsertObject(int Index, const String& S, TObject* AObject) override;
  // Sorts by CompareStrings unless the list is already Sorted. Stable: equal strings keep
  // their order.
  virtual void Sort();
  // Sorts with Compare unless the list is Sorted; stable, and Compare sees the list as it was
  // before the sort while the sort runs.
  virtual void CustomSort(TStringListSortCompare Compare);

  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  int GetCapacity() const override { return static_cast<int>(FList.capacity()); }
  void SetCapacity(int NewCapacity) override;

  TDuplicates GetDuplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool GetSorted() const { return FSorted; }
  // Setting true sorts the list.
  void SetSorted(bool Value);
  bool GetCaseSensitive() const { return FCaseSensitive; }
  // A sorted list is sorted again under the new comparison.
  void SetCaseSensitive(bool Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  // AnsiCompareStr when CaseSensitive, else AnsiCompareText.
  int CompareStrings(const String& S1, const String& S2) const override;
  virtual void InsertItem(int Index, const String& S, TObject* AObject);

private:
  struct TStringItem {
    String FString;
    TObject* FObject = nullptr;
  };

  void CheckIndex(int Index) const;
  void SortBy(TStringListSortCompare Compare);
  static int CompareItems(TStringList* List, int Index1, int Index2);

  std::vector<TStringItem> FList;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
};
