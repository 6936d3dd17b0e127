#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Streams.h"
#include "tests/support/StringsLines.h"
#include "tests/support/TempDirTest.h"

namespace {

void Fill(TStrings& List, const Lines& Values)
{
  List.Clear();
  for (const auto& s : Values) List.Add(s);
}

// --- sorted lists ---

TEST(StringListTest, SortedAddHonoursDuplicatesAndCase)
{
  struct Case {
    bool CaseSensitive;
    TDuplicates Duplicates;
    Lines Adds;
    std::vector<int> Results;  // what each Add answers; -1 where it raises
    Lines Expected;
  } cases[] = {
      {false, dupIgnore, {"b", "A", "a", "c", "B"}, {0, 0, 0, 2, 1}, {"A", "b", "c"}},
      // Equal strings go before the equal ones already there.
      {false, dupAccept, {"b", "A", "a", "c", "B"}, {0, 0, 0, 3, 2}, {"a", "A", "B", "b", "c"}},
      {false, dupError, {"b", "A", "a", "c"}, {0, 0, -1, 2}, {"A", "b", "c"}},
      {true, dupIgnore, {"b", "A", "a", "c", "B", "a"}, {0, 0, 0, 3, 3, 0}, {"a", "A", "b", "B", "c"}},
      {true, dupAccept, {"x", "x", "X"}, {0, 0, 2}, {"x", "x", "X"}},
      {true, dupError, {"a", "A", "a"}, {0, 1, -1}, {"a", "A"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case sensitive " << c.CaseSensitive << ", duplicates " << c.Duplicates);
    TStringList list;
    list.SetCaseSensitive(c.CaseSensitive);
    list.SetDuplicates(c.Duplicates);
    list.SetSorted(true);
    for (std::size_t i = 0; i < c.Adds.size(); ++i) {
      if (c.Results[i] < 0) {
        try {
          list.Add(c.Adds[i]);
          ADD_FAILURE() << "no error adding " << c.Adds[i];
        } catch (const EStringListError& e) {
          EXPECT_EQ(e.Message(), "String list does not allow duplicates");
        }
      } else {
        EXPECT_EQ(list.Add(c.Adds[i]), c.Results[i]) << "adding " << c.Adds[i];
      }
    }
    EXPECT_EQ(LinesOf(list), c.Expected);
  }
}

TEST(StringListTest, FindAnswersTheFirstMatchOrTheInsertionPoint)
{
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (const char* s : {"f", "d", "b", "D", "d"}) list.Add(s);
  ASSERT_EQ(LinesOf(list), (Lines{"b", "d", "D", "d", "f"}));
  struct Case {
    const char* S;
    bool Found;
    int Index;
  } cases[] = {{"a", false, 0}, {"b", true, 0}, {"c", false, 1}, {"d", true, 1}, {"D", true, 1},
               {"e", false, 4}, {"f", true, 4}, {"g", false, 5}, {"", false, 0}};
  for (const auto& c : cases) {
    int index = -99;
    EXPECT_EQ(list.Find(c.S, index), c.Found) << c.S;
    EXPECT_EQ(index, c.Index) << c.S;
    EXPECT_EQ(list.IndexOf(c.S), c.Found ? c.Index : -1) << c.S;
  }
}

TEST(StringListTest, SortIsStableAndCarriesTheObjects)
{
  TStringList list;
  TObject objects[5];
  const Lines strings = {"b", "A", "a", "B", "a"};
  for (int i = 0; i < 5; ++i) list.AddObject(strings[i], &objects[i]);
  list.Sort();
  EXPECT_EQ(LinesOf(list), (Lines{"A", "a", "a", "b", "B"}));
  const int objectOrder[] = {1, 2, 4, 0, 3};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.GetObject(i), &objects[objectOrder[i]]) << i;

  // By length, longest first; equal lengths keep their order, and the comparison reads an
  // unchanging list while the sort runs.
  Fill(list, {"cc", "a", "bbb", "dd", "e", "fff"});
  static String seen;
  static bool listChanged;
  seen = list.GetText();
  listChanged = false;
  list.CustomSort([](TStringList* l, int i1, int i2) {
    if (l->GetText() != seen) listChanged = true;
    return static_cast<int>(l->Get(i2).size()) - static_cast<int>(l->Get(i1).size());
  });
  EXPECT_FALSE(listChanged);
  EXPECT_EQ(LinesOf(list), (Lines{"bbb", "fff", "cc", "dd", "a", "e"}));
}

TEST(StringListTest, ChangingCaseSensitivitySortsAgain)
{
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  for (const char* s : {"B", "a", "b", "A"}) list.Add(s);
  list.SetCaseSensitive(true);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "A", "b", "B"}));
  EXPECT_EQ(list.IndexOf("B"), 3);
  EXPECT_EQ(list.IndexOf("A"), 1);
}

TEST(StringListTest, UnsortedIndexOfFollowsCaseSensitivity)
{
  TStringList list;
  Fill(list, {"x", "Y", "y"});
  EXPECT_EQ(list.IndexOf("y"), 1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("y"), 2);
  EXPECT_EQ(list.IndexOf("X"), -1);
}

TEST(StringListTest, OrderChangingOperationsAreRefusedOnSortedLists)
{
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"c", "a", "b"});
  const std::function<void()> operations[] = {
      [&] { list.Insert(0, "z"); }, [&] { list.InsertObject(1, "z", nullptr); },
      [&] { list.Put(0, "z"); },    [&] { list.Exchange(0, 2); },
      [&] { list.Move(0, 2); },
  };
  for (const auto& operation : operations) {
    try {
      operation();
      ADD_FAILURE() << "no error";
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), "Operation not allowed on sorted list");
    }
  }
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c"}));
}

TEST(StringListTest, BadIndexesRaiseListErrors)
{
  TStringList list;
  Fill(list, {"a", "b"});
  struct Case {
    std::function<void()> Run;
    const char* Message;
  } cases[] = {
      {[&] { list.Get(2); }, "List index out of bounds (2)"},
      {[&] { list.Get(-1); }, "List index out of bounds (-1)"},
      {[&] { list.Put(2, "x"); }, "List index out of bounds (2)"},
      {[&] { list.GetObject(5); }, "List index out of bounds (5)"},
      {[&] { list.PutObject(-3, nullptr); }, "List index out of bounds (-3)"},
      {[&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
      {[&] { list.Delete(2); }, "List index out of bounds (2)"},
      {[&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
      {[&] { list.Move(2, 0); }, "List index out of bounds (2)"},
      {[&] { list.Move(0, 2); }, "List index out of bounds (2)"},
      {[&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
      {[&] { list.GetName(4); }, "List index out of bounds (4)"},
  };
  for (const auto& c : cases) {
    try {
      c.Run();
      ADD_FAILURE() << "no error for: " << c.Message;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
}

TEST(StringListTest, MoveAndExchangeKeepObjectsWithTheirStrings)
{
  TStringList list;
  TObject objects[4];
  for (int i = 0; i < 4; ++i) list.AddObject(String(1, static_cast<char>('a' + i)), &objects[i]);
  list.Move(0, 3);
  EXPECT_EQ(LinesOf(list), (Lines{"b", "c", "d", "a"}));
  list.Exchange(0, 1);
  EXPECT_EQ(LinesOf(list), (Lines{"c", "b", "d", "a"}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.GetObject(i), &objects[list[i][0] - 'a']) << i;
  EXPECT_EQ(list.IndexOfObject(&objects[3]), 2);
  EXPECT_EQ(list.IndexOfObject(nullptr), -1);
}

// The smallest descendant: only the storage. Everything else is TStrings' own.
class TPlainStrings : public TStrings {
public:
  Lines Items;
  String Get(int Index) const override { return Items.at(static_cast<std::size_t>(Index)); }
  int GetCount() const override { return static_cast<int>(Items.size()); }
  void Clear() override { Items.clear(); }
  void Delete(int Index) override
  {
    if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
    Items.erase(Items.begin() + Index);
  }
  void Insert(int Index, const String& S) override
  {
    if (Index < 0 || Index > GetCount()) Error(RtlConsts::SListIndexError, Index);
    Items.insert(Items.begin() + Index, S);
  }
};

TEST(StringsTest, DefaultsWorkOverAnyStorage)
{
  TPlainStrings strings;
  strings.SetText("a=1\nB\nc");
  strings.Move(0, 2);
  EXPECT_EQ(strings.Items, (Lines{"B", "c", "a=1"}));
  strings.Exchange(0, 1);
  strings.Put(2, "a=2");
  EXPECT_EQ(strings.Items, (Lines{"c", "B", "a=2"}));
  EXPECT_EQ(strings.IndexOf("b"), 1);
  EXPECT_EQ(strings.GetValue("A"), "2");
  strings.SetValue("d", "4");
  EXPECT_EQ(strings.AddObject("e", nullptr), 4);
  EXPECT_EQ(strings.GetObject(4), nullptr);
  EXPECT_EQ(strings.GetCommaText(), "c,B,a=2,d=4,e");

  // A bad target index is found before the string is taken out.
  try {
    strings.Move(0, 5);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_EQ(strings.Items, (Lines{"c", "B", "a=2", "d=4", "e"}));

  TStringList copy;
  copy.Assign(&strings);
  EXPECT_TRUE(copy.Equals(&strings));
  strings.Assign(&copy);
  EXPECT_EQ(strings.GetCount(), 5);
}

// --- names and values ---

TEST(StringListTest, NamesAndValues)
{
  TStringList list;
  Fill(list, {"a=1", "B=2", "c", "=x", "d==3", "e=", "b=second"});
  struct Case {
    int Index;
    const char* Name;
    const char* ValueFromIndex;
  } byIndex[] = {{0, "a", "1"}, {1, "B", "2"}, {2, "", ""}, {3, "", "x"}, {4, "d", "=3"}, {5, "e", ""}};
  for (const auto& c : byIndex) {
    EXPECT_EQ(list.GetName(c.Index), c.Name) << c.Index;
    EXPECT_EQ(list.GetValueFromIndex(c.Index), c.ValueFromIndex) << c.Index;
  }
  struct NameCase {
    const char* Name;
    int Index;
    const char* Value;
  } byName[] = {{"a", 0, "1"}, {"b", 1, "2"}, {"B", 1, "2"}, {"c", -1, ""}, {"", 3, "x"}, {"d", 4, "=3"}, {"zz", -1, ""}};
  for (const auto& c : byName) {
    EXPECT_EQ(list.IndexOfName(c.Name), c.Index) << c.Name;
    EXPECT_EQ(list.GetValue(c.Name), c.Value) << c.Name;
  }
}

TEST(StringListTest, SettingValues)
{
  TStringList list;
  Fill(list, {"a=1", "B=2", "c=3"});
  list.SetValue("b", "20");      // replaced in place, with the name as given
  list.SetValue("new", "v");     // appended
  list.SetValue("a", "");        // deleted
  list.SetValue("missing", "");  // nothing to delete
  EXPECT_EQ(LinesOf(list), (Lines{"b=20", "c=3", "new=v"}));
  list.SetValueFromIndex(1, "30");
  list.SetValueFromIndex(-1, "x");
  list.SetValueFromIndex(0, "");
  EXPECT_EQ(LinesOf(list), (Lines{"c=30", "new=v", "=x"}));

  list.SetNameValueSeparator(':');
  Fill(list, {"k:v=w"});
  EXPECT_EQ(list.GetValue("k"), "v=w");
  list.SetValue("k", "1");
  EXPECT_EQ(list[0], "k:1");

  // A sorted list takes a new name at its place; an existing one can't be rewritten in place,
  // and the refusal leaves the list as it was.
  TStringList sorted;
  sorted.SetSorted(true);
  Fill(sorted, {"d=4", "b=2"});
  sorted.SetValue("c", "3");
  sorted.SetValueFromIndex(-1, "x");
  EXPECT_EQ(LinesOf(sorted), (Lines{"=x", "b=2", "c=3", "d=4"}));
  EXPECT_THROW(sorted.SetValue("b", "20"), EStringListError);
  EXPECT_EQ(LinesOf(sorted), (Lines{"=x", "b=2", "c=3", "d=4"}));
}

// --- text ---

TEST(StringListTest, TextSplitsAtEveryKindOfLineBreak)
{
  struct Case {
    String Text;
    Lines Expected;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\n\n", {"", ""}},
      {"\r\n", {""}},
      {"", {}},
      {"  x \t", {"  x \t"}},
      {String("x\0y\nz", 5), {String("x\0y", 3), "z"}},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.SetText(c.Text);
    EXPECT_EQ(LinesOf(list), c.Expected) << testing::PrintToString(c.Text);
  }
  TStringList list;
  Fill(list, {"a", "", String("b\0", 2)});
  EXPECT_EQ(list.GetText(), String("a\r\n\r\nb\0\r\n", 9));
  list.Clear();
  EXPECT_EQ(list.GetText(), "");
}

TEST(StringListTest, CommaTextFromLists)
{
  struct Case {
    Lines List;
    String Text;
  } cases[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"", ""}, ","},
      {{"", "a"}, ",a"},
      {{"a", "b c", "d\"e", "f,g", ""}, "a,\"b c\",\"d\"\"e\",\"f,g\","},
      {{"x\ty", " lead"}, "\"x\ty\",\" lead\""},
      {{String("a\0b", 3)}, String("\"a\0b\"", 5)},
      {{"semi;colon", "it's"}, "semi;colon,it's"},
  };
  for (const auto& c : cases) {
    TStringList list;
    Fill(list, c.List);
    EXPECT_EQ(list.GetCommaText(), c.Text);
    TStringList back;
    back.SetCommaText(c.Text);
    EXPECT_EQ(LinesOf(back), c.List) << "round trip of " << testing::PrintToString(c.Text);
  }
}

TEST(StringListTest, CommaTextParsing)
{
  struct Case {
    String Text;
    Lines Expected;
  } cases[] = {
      {"a, b ,c", {"a", "b", "c"}},
      {"a b", {"a", "b"}},
      {"\"a b\",c", {"a b", "c"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"a, ", {"a"}},
      {"  ", {}},
      {"\"\"", {""}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"\"unclosed", {"unclosed"}},
      {"\"a\"b,c", {"a", "b", "c"}},
      {String("a\0b", 3), {"a", "b"}},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.Add("old");
    list.SetCommaText(c.Text);
    EXPECT_EQ(LinesOf(list), c.Expected) << testing::PrintToString(c.Text);
  }
}

TEST(StringListTest, DelimitedTextWithOtherSettings)
{
  TStringList list;
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  Fill(list, {"a b", "c;d", "e'f", "g,h"});
  EXPECT_EQ(list.GetDelimitedText(), "'a b';'c;d';'e''f';g,h");
  EXPECT_EQ(list.GetCommaText(), "\"a b\",c;d,e'f,\"g,h\"") << "CommaText has its own settings";
  EXPECT_EQ(list.GetDelimiter(), ';');

  list.SetDelimitedText("x y;'p;q' ; z");
  EXPECT_EQ(LinesOf(list), (Lines{"x", "y", "p;q", "z"}));

  list.SetStrictDelimiter(true);
  list.SetDelimitedText("x y; z ;;'a;b'");
  EXPECT_EQ(LinesOf(list), (Lines{"x y", " z ", "", "a;b"}));
  Fill(list, {"x y", " z", "a;b"});
  EXPECT_EQ(list.GetDelimitedText(), "x y; z;'a;b'");

  // A blank as the delimiter: runs of blanks separate once.
  TStringList words;
  words.SetDelimiter(' ');
  words.SetDelimitedText("  one  two \"three four\" ");
  EXPECT_EQ(LinesOf(words), (Lines{"one", "two", "three four"}));
}

// --- change notification ---

TEST(StringListTest, ChangeEventsAreHeldBackDuringUpdates)
{
  struct Case {
    const char* Name;
    std::function<void(TStringList&)> Run;
    int Changing, Change;
  } cases[] = {
      {"add", [](TStringList& l) { l.Add("x"); }, 1, 1},
      {"put same list", [](TStringList& l) { l.Put(0, "z"); }, 1, 1},
      {"object", [](TStringList& l) { l.PutObject(0, nullptr); }, 1, 1},
      {"delete", [](TStringList& l) { l.Delete(0); }, 1, 1},
      {"clear", [](TStringList& l) { l.Clear(); }, 1, 1},
      {"clear empty", [](TStringList& l) { l.Clear(); l.Clear(); }, 1, 1},
      {"sort", [](TStringList& l) { l.Sort(); }, 1, 1},
      {"text", [](TStringList& l) { l.SetText("1\n2\n3\n"); }, 1, 1},
      {"comma text", [](TStringList& l) { l.SetCommaText("1,2,3"); }, 1, 1},
      {"new value", [](TStringList& l) { l.SetValue("k", "v"); }, 1, 1},
      {"nested update",
       [](TStringList& l) {
         l.BeginUpdate();
         l.BeginUpdate();
         l.Add("1");
         l.Delete(0);
         l.EndUpdate();
         l.Add("2");
         l.EndUpdate();
       },
       1, 1},
      {"update without change",
       [](TStringList& l) {
         l.BeginUpdate();
         l.EndUpdate();
       },
       1, 1},
      {"unbalanced end", [](TStringList& l) { l.EndUpdate(); l.Add("x"); }, 1, 1},
      {"assign",
       [](TStringList& l) {
         TStringList other;
         Fill(other, {"p", "q"});
         l.Assign(&other);
       },
       1, 1},
  };
  for (const auto& c : cases) {
    TStringList list;
    Fill(list, {"b", "a"});
    int changing = 0, change = 0;
    list.OnChanging = [&](TObject* Sender) {
      EXPECT_EQ(Sender, &list);
      ++changing;
    };
    list.OnChange = [&](TObject*) { ++change; };
    c.Run(list);
    EXPECT_EQ(changing, c.Changing) << c.Name;
    EXPECT_EQ(change, c.Change) << c.Name;
  }
}

// --- assign, add strings, equals ---

class TNotStrings : public TPersistent {};

TEST(StringListTest, AssignCopiesStringsObjectsAndSettings)
{
  TStringList source;
  TObject object;
  source.AddObject("one", &object);
  source.Add("two");
  source.SetDelimiter(';');
  source.SetQuoteChar('\'');
  source.SetNameValueSeparator(':');
  TStringList dest;
  dest.Add("old");
  dest.Assign(&source);
  EXPECT_EQ(LinesOf(dest), (Lines{"one", "two"}));
  EXPECT_EQ(dest.GetObject(0), &object);
  EXPECT_EQ(dest.GetDelimiter(), ';');
  EXPECT_EQ(dest.GetQuoteChar(), '\'');
  EXPECT_EQ(dest.GetNameValueSeparator(), ':');
  EXPECT_TRUE(dest.Equals(&source));

  dest.Assign(&dest);
  EXPECT_EQ(LinesOf(dest), (Lines{"one", "two"})) << "assigning to itself keeps the strings";
  dest.AddStrings(&dest);
  EXPECT_EQ(LinesOf(dest), (Lines{"one", "two", "one", "two"}));
  EXPECT_FALSE(dest.Equals(&source));
  // Into itself when sorted: the added strings go between the old ones, yet each is added once.
  TStringList sorted;
  sorted.SetDuplicates(dupAccept);
  sorted.SetSorted(true);
  TObject sortedObjects[2];
  sorted.AddObject("b", &sortedObjects[1]);
  sorted.AddObject("a", &sortedObjects[0]);
  sorted.AddStrings(&sorted);
  EXPECT_EQ(LinesOf(sorted), (Lines{"a", "a", "b", "b"}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sorted.GetObject(i), &sortedObjects[i / 2]) << i;
  dest.Assign(&source);
  dest.Put(1, "TWO");
  EXPECT_FALSE(dest.Equals(&source)) << "Equals compares byte for byte";

  TNotStrings other;
  struct Case {
    TPersistent* Source;
    const char* Message;
  } cases[] = {{&other, "Cannot assign a TNotStrings to a TStringList"}, {nullptr, "Cannot assign a nil to a TStringList"}};
  for (const auto& c : cases) {
    try {
      dest.Assign(c.Source);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

// --- files and streams ---

class StringListFileTest : public TTempDirTest {};

TEST_F(StringListFileTest, SaveWritesCrLfAndLoadReadsAnyLineBreak)
{
  TStringList list;
  Fill(list, {"first", "", "third"});
  list.SaveToFile(Dir + "out.txt");
  EXPECT_EQ(ReadBytes(Dir + "out.txt"), "first\r\n\r\nthird\r\n");

  struct Case {
    String Bytes;
    Lines Expected;
  } cases[] = {
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"\xEF\xBB\xBF[x]\nk=v\n", {"[x]", "k=v"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    WriteBytes(Dir + "in.txt", c.Bytes);
    list.Add("stale");
    list.LoadFromFile(Dir + "in.txt");
    EXPECT_EQ(LinesOf(list), c.Expected) << testing::PrintToString(c.Bytes);
  }
}

TEST_F(StringListFileTest, LoadingAMissingFileNamesItAndTheReason)
{
  TStringList list;
  list.Add("kept");
  const String name = Dir + "missing.txt";
  try {
    list.LoadFromFile(name);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + name + "\". The system cannot find the file specified.");
  }
  EXPECT_EQ(LinesOf(list), (Lines{"kept"}));
}

TEST_F(StringListFileTest, AFailedSaveLeavesTheOldFile)
{
  const String name = Dir + "settings.txt";
  WriteBytes(name, "old contents\r\n");
  TStringList list;
  for (int i = 0; i < 1000; ++i) list.Add("a line long enough to pass the file size limit");

  // A file size limit makes the write fail part way, as a full disk would.
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  String message;
  try {
    list.SaveToFile(name);
  } catch (const EFCreateError& e) {
    message = e.Message();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(message, "Cannot create file \"" + name + "\". There is not enough space on the disk.");
  EXPECT_EQ(ReadBytes(name), "old contents\r\n");
  EXPECT_EQ(DirEntries(), (std::vector<String>{"settings.txt"})) << "no temporary file is left";
}

TEST_F(StringListFileTest, StreamsReadFromTheirPosition)
{
  TStringStream stream("skip|a\nb");
  stream.SetPosition(5);
  TStringList list;
  list.LoadFromStream(&stream);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
  TStringStream out("pre:");
  out.Seek(0, soEnd);
  list.SaveToStream(&out);
  EXPECT_EQ(out.GetDataString(), "pre:a\r\nb\r\n");
}

}  // namespace
