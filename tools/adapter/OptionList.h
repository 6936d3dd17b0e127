// A tool's arguments as a list of options, their values and the words between them, so that
// the translation rules can find, change, add and drop options by name while every other
// argument keeps its place and its exact text.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace qv::tools {

struct TOptionItem {
  std::string Name;   // "-oac"; empty for a word that is no option (an input, an output name)
  std::string Value;  // the option's value
  bool HasValue = false;
};

class TOptionList {
public:
  // Flags are the options that never take a value; any other option takes the next argument
  // unless that looks like an option itself (starts with "-" and is no number).
  TOptionList(const std::vector<std::string>& Args, std::initializer_list<const char*> Flags);

  std::vector<TOptionItem> Items;

  // The index of the first item of that option, or -1.
  int Find(const std::string& Name) const;
  bool Has(const std::string& Name) const { return Find(Name) >= 0; }
  // The value of the first item of that option, or "".
  std::string Value(const std::string& Name) const;
  // The value of the last item of that option, or "" (the tools let a later one win).
  std::string LastValue(const std::string& Name) const;
  // Sets the value of every item of that option; adds the option at the end when absent.
  void Set(const std::string& Name, const std::string& Value);
  void SetFlag(const std::string& Name);
  void Remove(const std::string& Name);
  void InsertFront(const std::string& Name, const std::string& Value);
  // Moves the item at Index to the end (an output that must stay after the options added).
  void MoveToEnd(int Index);
  // The words that are no options, in order.
  std::vector<std::string> Words() const;
  std::vector<std::string> Args() const;
};

// A "key=value:key:..." suboption list (mencoder's -lavcopts, -x264encopts ...).
struct TSubOptions {
  explicit TSubOptions(const std::string& Text, char Separator = ':');
  std::vector<std::string> Items;
  char Separator;
  // The index of the first item whose key (the text before "=") is Key, or -1.
  int Find(const std::string& Key) const;
  bool Has(const std::string& Key) const { return Find(Key) >= 0; }
  std::string Value(const std::string& Key) const;  // the text after "=", "" when absent
  void Remove(const std::string& Key);               // every item of that key
  void Add(const std::string& Item) { Items.push_back(Item); }
  std::string Text() const;
};

bool EndsWithNoCase(const std::string& Text, const std::string& End);
// A path that no tool can take for an option: a relative name starting with "-" gets "./".
std::string SafePath(const std::string& Path);
// "128" -> 128; anything that is not a whole number gives Default.
long WholeNumber(const std::string& Text, long Default);

}  // namespace qv::tools
