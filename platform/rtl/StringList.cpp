#include "platform/rtl/StringList.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"

namespace {

String QuoteItem(const String& S, char Quote)
{
  String result(1, Quote);
  for (char c : S) {
    if (c == Quote) result += Quote;
    result += c;
  }
  result += Quote;
  return result;
}

bool IsBlank(char C)
{
  return static_cast<unsigned char>(C) <= ' ';
}

}  // namespace

// --- TStrings ---

int TStrings::Add(const String& S)
{
  const int result = GetCount();
  Insert(result, S);
  return result;
}

int TStrings::AddObject(const String& S, TObject* AObject)
{
  const int result = Add(S);
  PutObject(result, AObject);
  return result;
}

void TStrings::Append(const String& S)
{
  Add(S);
}

void TStrings::AddStrings(TStrings* Strings)
{
  TStringsUpdate update(this);
  const int count = Strings->GetCount();
  if (Strings == this) {
    // Taken first: in a sorted list the strings added move the ones still to be read.
    std::vector<std::pair<String, TObject*>> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) items.emplace_back(Get(i), GetObject(i));
    for (const auto& item : items) AddObject(item.first, item.second);
    return;
  }
  for (int i = 0; i < count; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source)
{
  auto* source = dynamic_cast<TStrings*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  TStringsUpdate update(this);
  Clear();
  FDelimiter = source->FDelimiter;
  FQuoteChar = source->FQuoteChar;
  FNameValueSeparator = source->FNameValueSeparator;
  FStrictDelimiter = source->FStrictDelimiter;
  AddStrings(source);
}

void TStrings::BeginUpdate()
{
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate()
{
  if (FUpdateCount <= 0) return;  // unbalanced: nothing to end
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject)
{
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2)
{
  TStringsUpdate update(this);
  const String tempString = Get(Index1);
  TObject* tempObject = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, tempString);
  PutObject(Index2, tempObject);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
  if (CurIndex == NewIndex) return;
  // Both checked before anything changes, so a bad NewIndex can't lose the string.
  const String tempString = Get(CurIndex);
  TObject* tempObject = GetObject(CurIndex);
  if (NewIndex < 0 || NewIndex >= GetCount()) Error(RtlConsts::SListIndexError, NewIndex);
  TStringsUpdate update(this);
  Delete(CurIndex);
  InsertObject(NewIndex, tempString, tempObject);
}

int TStrings::IndexOf(const String& S) const
{
  const int count = GetCount();
  for (int i = 0; i < count; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& Name) const
{
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    const String s = Get(i);
    const auto p = s.find(FNameValueSeparator);
    if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
  const int count = GetCount();
  for (int i = 0; i < count; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(TStrings* Strings) const
{
  const int count = GetCount();
  if (count != Strings->GetCount()) return false;
  for (int i = 0; i < count; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::LoadFromFile(const String& FileName)
{
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream)
{
  String text;
  const Int64 position = Stream->GetPosition();
  const Int64 size = Stream->GetSize();
  if (position >= 0 && size > position) text.reserve(static_cast<std::size_t>(size - position));
  // Read to the end rather than trusting the size: files may grow, and some report none.
  char buffer[65536];
  for (;;) {
    const Int64 n = Stream->Read(buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  TStringsUpdate update(this);
  SetText(text);
}

void TStrings::SaveToFile(const String& FileName) const
{
  const String text = GetText();
  AtomicSaveToFile(FileName, text.data(), text.size());
}

void TStrings::SaveToStream(TStream* Stream) const
{
  const String text = GetText();
  Stream->WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}

void TStrings::Put(int Index, const String& S)
{
  TStringsUpdate update(this);
  TObject* tempObject = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, tempObject);
}

TObject* TStrings::GetObject(int /*Index*/) const
{
  return nullptr;
}

void TStrings::PutObject(int /*Index*/, TObject* /*AObject*/) {}

int TStrings::GetCapacity() const
{
  return GetCount();
}

void TStrings::SetCapacity(int /*NewCapacity*/) {}

String TStrings::GetName(int Index) const
{
  const String s = Get(Index);
  const auto p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::GetValue(const String& Name) const
{
  const int i = IndexOfName(Name);
  return i < 0 ? String() : GetValueFromIndex(i);
}

void TStrings::SetValue(const String& Name, const String& Value)
{
  const int i = IndexOfName(Name);
  if (!Value.empty()) {
    // A new line is added whole: adding an empty one to fill in afterwards would leave it
    // behind in a sorted list, which refuses the Put.
    if (i < 0)
      Add(Name + FNameValueSeparator + Value);
    else
      Put(i, Name + FNameValueSeparator + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

String TStrings::GetValueFromIndex(int Index) const
{
  if (Index < 0) return String();
  const String s = Get(Index);
  const auto p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const String& Value)
{
  if (!Value.empty()) {
    if (Index < 0)
      Add(FNameValueSeparator + Value);
    else
      Put(Index, GetName(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

String TStrings::GetText() const
{
  const int count = GetCount();
  String result;
  for (int i = 0; i < count; ++i) {
    result += Get(i);
    result += sLineBreak;
  }
  return result;
}

void TStrings::SetText(const String& Value)
{
  TStringsUpdate update(this);
  Clear();
  const std::size_t n = Value.size();
  std::size_t start = 0, i = 0;
  while (i < n) {
    const char c = Value[i];
    if (c == '\r' || c == '\n') {
      Add(Value.substr(start, i - start));
      if (c == '\r' && i + 1 < n && Value[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < n) Add(Value.substr(start));
}

String TStrings::GetCommaText() const
{
  return BuildDelimitedText(',', '"', false);
}

void TStrings::SetCommaText(const String& Value)
{
  ParseDelimitedText(Value, ',', '"', false);
}

String TStrings::GetDelimitedText() const
{
  return BuildDelimitedText(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const String& Value)
{
  ParseDelimitedText(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

String TStrings::BuildDelimitedText(char Delimiter, char QuoteChar, bool Strict) const
{
  const int count = GetCount();
  if (count == 1 && Get(0).empty()) return String(2, QuoteChar);
  String result;
  for (int i = 0; i < count; ++i) {
    const String s = Get(i);
    const bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
      return c == QuoteChar || c == Delimiter || (!Strict && IsBlank(c));
    });
    if (i > 0) result += Delimiter;
    result += quote ? QuoteItem(s, QuoteChar) : s;
  }
  return result;
}

void TStrings::ParseDelimitedText(const String& Value, char Delimiter, char QuoteChar, bool Strict)
{
  TStringsUpdate update(this);
  Clear();
  const std::size_t n = Value.size();
  std::size_t p = 0;
  // Between items, blanks and control characters (the zero byte too) are skipped unless the
  // delimiter is strict.
  auto skipBlanks = [&] {
    if (!Strict)
      while (p < n && IsBlank(Value[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    String s;
    if (Value[p] == QuoteChar) {
      // A quoted item: doubled quotes stand for one; an unclosed quote takes the rest.
      ++p;
      while (p < n) {
        if (Value[p] == QuoteChar) {
          if (p + 1 < n && Value[p + 1] == QuoteChar) {
            s += QuoteChar;
            p += 2;
          } else {
            ++p;
            break;
          }
        } else {
          s += Value[p++];
        }
      }
    } else {
      const std::size_t start = p;
      while (p < n && Value[p] != Delimiter && (Strict || !IsBlank(Value[p]))) ++p;
      s = Value.substr(start, p - start);
    }
    Add(s);
    skipBlanks();
    if (p < n && Value[p] == Delimiter) {
      // A delimiter at the very end stands before one more, empty, item.
      if (p + 1 == n) Add(String());
      ++p;
      skipBlanks();
    }
  }
}

void TStrings::SetUpdateState(bool /*Updating*/) {}

int TStrings::CompareStrings(const String& S1, const String& S2) const
{
  return AnsiCompareText(S1, S2);
}

void TStrings::Error(const char* Msg, int Data) const
{
  const String msg(Msg);
  const String text = msg.find('%') == String::npos ? msg : Format(msg, {Data});
  if (msg == RtlConsts::SListIndexError || msg == RtlConsts::SListCapacityError ||
      msg == RtlConsts::SListCountError)
    throw EListError(text);
  throw EStringListError(text);
}

// --- TStringList ---

namespace {

// Stable merge sort of the index permutation Order by Less. Bounded whatever Less answers.
template <typename L>
void MergeSortIndexes(std::vector<int>& Order, L Less)
{
  const std::size_t n = Order.size();
  std::vector<int> buffer(n);
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) buffer[k++] = Less(Order[j], Order[i]) ? Order[j++] : Order[i++];
      while (i < mid) buffer[k++] = Order[i++];
      while (j < hi) buffer[k++] = Order[j++];
    }
    Order.swap(buffer);
  }
}

}  // namespace

TStringList::~TStringList()
{
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const
{
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
}

int TStringList::Add(const String& S)
{
  return AddObject(S, nullptr);
}

int TStringList::AddObject(const String& S, TObject* AObject)
{
  int result;
  if (!FSorted) {
    result = GetCount();
  } else if (Find(S, result)) {
    if (FDuplicates == dupIgnore) return result;
    if (FDuplicates == dupError) Error(RtlConsts::SDuplicateString, 0);
  }
  InsertItem(result, S, AObject);
  return result;
}

void TStringList::Changed()
{
  if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing()
{
  if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Clear()
{
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem>().swap(FList);
  Changed();
}

void TStringList::Delete(int Index)
{
  CheckIndex(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[Index1], FList[Index2]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex)
{
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  Changing();
  const auto first = FList.begin();
  if (CurIndex < NewIndex)
    std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
  else
    std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
  Changed();
}

bool TStringList::Find(const String& S, int& Index) const
{
  int lo = 0, hi = GetCount();
  bool found = false;
  // Lower bound: the first string not less than S.
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(FList[mid].FString, S);
    if (c < 0) {
      lo = mid + 1;
    } else {
      if (c == 0) found = true;
      hi = mid;
    }
  }
  Index = lo;
  return found;
}

int TStringList::IndexOf(const String& S) const
{
  if (!FSorted) return TStrings::IndexOf(S);
  int result;
  return Find(S, result) ? result : -1;
}

void TStringList::Insert(int Index, const String& S)
{
  InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const String& S, TObject* AObject)
{
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(RtlConsts::SListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject)
{
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

int TStringList::CompareItems(TStringList* List, int Index1, int Index2)
{
  return List->CompareStrings(List->FList[Index1].FString, List->FList[Index2].FString);
}

void TStringList::SortBy(TStringListSortCompare Compare)
{
  const int count = GetCount();
  if (count < 2) return;
  std::vector<int> order(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) order[i] = i;
  // Compare reads the list by index, so the list stays as it is until the order is known.
  MergeSortIndexes(order, [this, Compare](int a, int b) { return Compare(this, a, b) < 0; });
  Changing();
  std::vector<TStringItem> sorted;
  sorted.reserve(FList.capacity());
  for (int i : order) sorted.push_back(std::move(FList[i]));
  FList.swap(sorted);
  Changed();
}

void TStringList::Sort()
{
  CustomSort(&TStringList::CompareItems);
}

void TStringList::CustomSort(TStringListSortCompare Compare)
{
  if (!FSorted) SortBy(Compare);
}

String TStringList::Get(int Index) const
{
  CheckIndex(Index);
  return FList[Index].FString;
}

void TStringList::Put(int Index, const String& S)
{
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const
{
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
  CheckIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

void TStringList::SetCapacity(int NewCapacity)
{
  if (NewCapacity < GetCount()) Error(RtlConsts::SListCapacityError, NewCapacity);
  if (NewCapacity >= GetCapacity()) {
    FList.reserve(static_cast<std::size_t>(NewCapacity));
  } else {
    std::vector<TStringItem> list;
    list.reserve(static_cast<std::size_t>(NewCapacity));
    for (auto& item : FList) list.push_back(std::move(item));
    FList.swap(list);
  }
}

void TStringList::SetSorted(bool Value)
{
  if (FSorted == Value) return;
  if (Value) SortBy(&TStringList::CompareItems);
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) SortBy(&TStringList::CompareItems);
}

void TStringList::SetUpdateState(bool Updating)
{
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const
{
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

TStringsUpdate::~TStringsUpdate() noexcept(false)
{
  if (std::uncaught_exceptions() > FExceptions) {
    try {
      FStrings->EndUpdate();
    } catch (...) {
    }
  } else {
    FStrings->EndUpdate();
  }
}
