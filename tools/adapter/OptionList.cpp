#include "tools/adapter/OptionList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace qv::tools {

namespace {

bool LooksLikeOption(const std::string& Arg)
{
  if (Arg.size() < 2 || Arg[0] != '-') return false;
  return !(std::isdigit(static_cast<unsigned char>(Arg[1])) || Arg[1] == '.');
}

}  // namespace

TOptionList::TOptionList(const std::vector<std::string>& Args, std::initializer_list<const char*> Flags)
{
  for (std::size_t I = 0; I < Args.size(); ++I) {
    TOptionItem Item;
    if (!LooksLikeOption(Args[I])) {
      Item.Value = Args[I];
      Items.push_back(Item);
      continue;
    }
    Item.Name = Args[I];
    const bool Flag = std::any_of(Flags.begin(), Flags.end(), [&](const char* F) { return Item.Name == F; });
    if (!Flag && I + 1 < Args.size() && !LooksLikeOption(Args[I + 1])) {
      Item.Value = Args[++I];
      Item.HasValue = true;
    }
    Items.push_back(Item);
  }
}

int TOptionList::Find(const std::string& Name) const
{
  for (std::size_t I = 0; I < Items.size(); ++I)
    if (Items[I].Name == Name) return static_cast<int>(I);
  return -1;
}

std::string TOptionList::Value(const std::string& Name) const
{
  const int I = Find(Name);
  return I < 0 ? std::string() : Items[static_cast<std::size_t>(I)].Value;
}

std::string TOptionList::LastValue(const std::string& Name) const
{
  std::string V;
  for (const TOptionItem& Item : Items)
    if (Item.Name == Name) V = Item.Value;
  return V;
}

void TOptionList::Set(const std::string& Name, const std::string& Value)
{
  bool Found = false;
  for (TOptionItem& Item : Items)
    if (Item.Name == Name) {
      Item.Value = Value;
      Item.HasValue = true;
      Found = true;
    }
  if (!Found) Items.push_back({Name, Value, true});
}

void TOptionList::SetFlag(const std::string& Name)
{
  if (!Has(Name)) Items.push_back({Name, "", false});
}

void TOptionList::Remove(const std::string& Name)
{
  Items.erase(std::remove_if(Items.begin(), Items.end(), [&](const TOptionItem& I) { return I.Name == Name; }),
              Items.end());
}

void TOptionList::InsertFront(const std::string& Name, const std::string& Value)
{
  Items.insert(Items.begin(), {Name, Value, true});
}

void TOptionList::MoveToEnd(int Index)
{
  if (Index < 0 || static_cast<std::size_t>(Index) >= Items.size()) return;
  const TOptionItem Item = Items[static_cast<std::size_t>(Index)];
  Items.erase(Items.begin() + Index);
  Items.push_back(Item);
}

std::vector<std::string> TOptionList::Words() const
{
  std::vector<std::string> W;
  for (const TOptionItem& Item : Items)
    if (Item.Name.empty()) W.push_back(Item.Value);
  return W;
}

std::vector<std::string> TOptionList::Args() const
{
  std::vector<std::string> A;
  for (const TOptionItem& Item : Items) {
    if (!Item.Name.empty()) A.push_back(Item.Name);
    if (Item.Name.empty() || Item.HasValue) A.push_back(Item.Value);
  }
  return A;
}

TSubOptions::TSubOptions(const std::string& Text, char Sep) : Separator(Sep)
{
  std::size_t Start = 0;
  while (Start <= Text.size()) {
    std::size_t End = Text.find(Sep, Start);
    if (End == std::string::npos) End = Text.size();
    if (End > Start) Items.push_back(Text.substr(Start, End - Start));
    Start = End + 1;
  }
}

int TSubOptions::Find(const std::string& Key) const
{
  for (std::size_t I = 0; I < Items.size(); ++I)
    if (Items[I].substr(0, Items[I].find('=')) == Key) return static_cast<int>(I);
  return -1;
}

std::string TSubOptions::Value(const std::string& Key) const
{
  const int I = Find(Key);
  if (I < 0) return std::string();
  const std::string& Item = Items[static_cast<std::size_t>(I)];
  const std::size_t Eq = Item.find('=');
  return Eq == std::string::npos ? std::string() : Item.substr(Eq + 1);
}

void TSubOptions::Remove(const std::string& Key)
{
  Items.erase(std::remove_if(Items.begin(), Items.end(),
                             [&](const std::string& I) { return I.substr(0, I.find('=')) == Key; }),
              Items.end());
}

std::string TSubOptions::Text() const
{
  std::string T;
  for (const std::string& I : Items) T += (T.empty() ? "" : std::string(1, Separator)) + I;
  return T;
}

bool EndsWithNoCase(const std::string& Text, const std::string& End)
{
  if (End.size() > Text.size()) return false;
  for (std::size_t I = 0; I < End.size(); ++I)
    if (std::tolower(static_cast<unsigned char>(Text[Text.size() - End.size() + I])) !=
        std::tolower(static_cast<unsigned char>(End[I])))
      return false;
  return true;
}

std::string SafePath(const std::string& Path) { return !Path.empty() && Path[0] == '-' ? "./" + Path : Path; }

long WholeNumber(const std::string& Text, long Default)
{
  if (Text.empty() || Text.size() > 9) return Default;
  for (char C : Text)
    if (!std::isdigit(static_cast<unsigned char>(C))) return Default;
  return std::strtol(Text.c_str(), nullptr, 10);
}

}  // namespace qv::tools
