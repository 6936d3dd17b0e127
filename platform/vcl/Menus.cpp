#include "platform/vcl/Menus.h"

#include <algorithm>
#include <mutex>

#include "platform/rtl/Convert.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/MenuWindow.h"
#include "platform/win/WinUser.h"

namespace {

constexpr const char* SMenuIndexError = "Menu index out of range";
constexpr const char* SMenuReinserted = "Menu inserted twice";
constexpr const char* SMenuCommandsExhausted = "Out of menu command ids";

// Command ids in use; id 0 stays free as "no command".
std::mutex CommandPoolLock;
TBits& CommandPool() {
  static TBits Pool;
  return Pool;
}

Word UniqueCommand() {
  std::lock_guard<std::mutex> Lock(CommandPoolLock);
  TBits& Pool = CommandPool();
  if (Pool.GetSize() == 0) Pool.SetBit(0, true);
  int Id = Pool.OpenBit();
  if (Id > 0xFFFF) throw EMenuError(SMenuCommandsExhausted);
  Pool.SetBit(Id, true);
  return static_cast<Word>(Id);
}

void ReleaseCommand(Word Id) {
  std::lock_guard<std::mutex> Lock(CommandPoolLock);
  if (Id != 0) CommandPool().SetBit(Id, false);
}

struct TKeyCap {
  Word Key;
  const char* Name;
};

// Names of keys without a printable character of their own.
constexpr TKeyCap KeyCaps[] = {
    {0x08, "BkSp"},  {0x09, "Tab"},    {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"},  {0x22, "PgDn"},   {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},    {0x27, "Right"},  {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
    {0x6A, "Num *"}, {0x6B, "Num +"},  {0x6D, "Num -"}, {0x6E, "Num Del"}, {0x6F, "Num /"},
    {0xBA, ";"},     {0xBB, "="},      {0xBC, ","},     {0xBD, "-"},    {0xBE, "."},
    {0xBF, "/"},     {0xC0, "`"},      {0xDB, "["},     {0xDC, "\\"},   {0xDD, "]"},
    {0xDE, "'"},
};

String KeyName(Word Key) {
  if (Key >= 0x30 && Key <= 0x39) return String(1, static_cast<char>('0' + Key - 0x30));
  if (Key >= 0x41 && Key <= 0x5A) return String(1, static_cast<char>('A' + Key - 0x41));
  if (Key >= 0x60 && Key <= 0x69) return String(1, static_cast<char>('0' + Key - 0x60));
  if (Key >= 0x70 && Key <= 0x87) {
    String Name = "F";
    Name += IntToStr(Key - 0x6F);
    return Name;
  }
  for (const TKeyCap& Cap : KeyCaps)
    if (Cap.Key == Key) return Cap.Name;
  return String();
}

bool StartsText(const String& Prefix, const String& S) {
  return S.size() >= Prefix.size() && SameText(S.substr(0, Prefix.size()), Prefix);
}

}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key > 0xFF) return 0;
  TShortCut Result = Key;
  if (Shift & ssShift) Result |= scShift;
  if (Shift & ssCtrl) Result |= scCtrl;
  if (Shift & ssAlt) Result |= scAlt;
  return Result;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = 0;
  if (ShortCut & scShift) Shift |= ssShift;
  if (ShortCut & scCtrl) Shift |= ssCtrl;
  if (ShortCut & scAlt) Shift |= ssAlt;
}

String ShortCutToText(TShortCut ShortCut) {
  String Name = KeyName(ShortCut & 0xFF);
  if (Name.empty()) return String();
  String Result;
  if (ShortCut & scShift) Result += "Shift+";
  if (ShortCut & scCtrl) Result += "Ctrl+";
  if (ShortCut & scAlt) Result += "Alt+";
  return Result + Name;
}

TShortCut TextToShortCut(const String& Text) {
  TShortCut Modifiers = 0;
  String Rest = Text;
  for (bool Found = true; Found;) {
    Found = false;
    for (auto [Prefix, Bit] : {std::pair<const char*, TShortCut>{"Shift+", scShift},
                               {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      // "Num +" and a lone "+"-named key must not be taken for a modifier.
      if (StartsText(Prefix, Rest) && Rest.size() > std::char_traits<char>::length(Prefix)) {
        Modifiers |= Bit;
        Rest = Rest.substr(std::char_traits<char>::length(Prefix));
        Found = true;
      }
    }
  }
  if (Rest.empty()) return 0;
  for (Word Key = 1; Key <= 0xFF; ++Key) {
    String Name = KeyName(Key);
    if (!Name.empty() && SameText(Name, Rest)) return static_cast<TShortCut>(Key | Modifiers);
  }
  return 0;
}

String StripHotkey(const String& Text) {
  String Result;
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '&') {
      if (I + 1 < Text.size() && Text[I + 1] == '&') {
        Result += '&';
        ++I;
      }
      continue;
    }
    Result += Text[I];
  }
  return Result;
}

char GetHotkey(const String& Text) {
  for (size_t I = 0; I + 1 < Text.size(); ++I) {
    if (Text[I] != '&') continue;
    if (Text[I + 1] == '&') {
      ++I;
      continue;
    }
    return Text[I + 1];
  }
  return 0;
}

bool IsAccel(Word VK, const String& Text) {
  char C = GetHotkey(Text);
  if (!C || VK > 0xFF) return false;
  auto Up = [](int X) { return (X >= 'a' && X <= 'z') ? X - 32 : X; };
  return Up(static_cast<unsigned char>(C)) == Up(VK);
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState Result = 0;
  if (GetKeyState(VK_SHIFT) < 0) Result |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) Result |= ssCtrl;
  if (KeyData & AltMask) Result |= ssAlt;
  return Result;
}

// ---------------------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(UniqueCommand()) {}

TMenuItem::~TMenuItem() {
  Destroying();
  Clear();
  if (FParent) FParent->Remove(this);
  if (FAction) FAction->RemoveFreeNotification(this);
  ReleaseCommand(FCommand);
}

void TMenuItem::SetCaption(const String& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
  FLineHidden = false;  // the program's word counts from now on
  if (FVisible == Value) return;
  FVisible = Value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(Byte Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* Item : FParent->FItems)
    if (Item != this && Item->FRadioItem && Item->FGroupIndex == FGroupIndex && Item->FChecked) {
      Item->FChecked = false;
      Item->MenuChanged(false);
    }
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value && FParent)
    for (TMenuItem* Item : FParent->FItems) Item->FDefault = false;
  FDefault = Value;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (FBreak == Value) return;
  FBreak = Value;
  MenuChanged(true);
}

TBitmap* TMenuItem::GetBitmap() {
  if (!FBitmap) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->OnChange = [this](TObject*) { MenuChanged(true); };
  }
  return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  if (!Value) {
    if (FBitmap && !FBitmap->Empty()) FBitmap->SetSize(0, 0);
    return;
  }
  GetBitmap()->Assign(Value);
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction) FAction->RemoveFreeNotification(this);
  FAction = Value;
  if (FAction) FAction->FreeNotification(this);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(FAction)) FAction = nullptr;
}

HMENU TMenuItem::GetHandle() const {
  return reinterpret_cast<HMENU>(const_cast<TMenuItem*>(this));
}

TMenuItem* TMenuItem::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EMenuError(SMenuIndexError);
  return FItems[static_cast<size_t>(Index)];
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* Item = this;
  while (Item->FParent) Item = Item->FParent;
  return Item->FMenu;
}

int TMenuItem::GetMenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* Parent = FParent;
  int Count = Parent->GetCount();
  Value = std::clamp(Value, 0, Count - 1);
  int Current = GetMenuIndex();
  if (Value == Current) return;
  Parent->FItems.erase(Parent->FItems.begin() + Current);
  Parent->FItems.insert(Parent->FItems.begin() + Value, this);
  MenuChanged(true);
}

void TMenuItem::Add(TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) Item->FParent->Remove(Item);
  Insert(GetCount(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError(SMenuReinserted);
  if (Index < 0 || Index > GetCount()) throw EMenuError(SMenuIndexError);
  // An item can't become its own descendant.
  for (const TMenuItem* P = this; P; P = P->FParent)
    if (P == Item) throw EMenuError(SMenuReinserted);
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  if (Item->FChecked && Item->FRadioItem) Item->TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
  TMenuItem* Item = GetItem(Index);
  FItems.erase(FItems.begin() + Index);
  Item->FParent = nullptr;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
  int I = IndexOf(Item);
  if (I < 0) throw EMenuError(SMenuIndexError);
  Delete(I);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();  // each one leaves the list in its destructor
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  String Wanted = StripHotkey(ACaption);
  for (TMenuItem* Item : FItems)
    if (SameText(StripHotkey(Item->FCaption), Wanted)) return Item;
  return nullptr;
}

bool TMenuItem::RethinkLines() {
  bool Changed = false;
  TMenuItem* Pending = nullptr;  // a separator waiting for an item to follow it
  bool Shown = false;            // an item is shown before the current position
  auto SetLine = [&](TMenuItem* Line, bool Show) {
    if (Line->FVisible == Show) return;
    Line->FVisible = Show;
    Line->FLineHidden = !Show;
    Changed = true;
  };
  for (TMenuItem* Item : FItems) {
    if (!Item->IsLine()) {
      if (!Item->FVisible) continue;
      if (Pending) SetLine(Pending, true);
      Pending = nullptr;
      Shown = true;
      continue;
    }
    if (!Item->FVisible && !Item->FLineHidden) continue;  // hidden by the program
    // A separator before any item, or after another one: hidden unless an item follows
    // (then the last of the run is the one kept).
    if (Pending) SetLine(Pending, false);
    if (Shown) {
      Pending = Item;
    } else {
      SetLine(Item, false);
    }
  }
  if (Pending) SetLine(Pending, false);  // nothing follows it
  if (Changed) MenuChanged(true);
  return Changed;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(!FChecked);
  // A copy: the handler may delete the item (and with it OnClick) while it runs.
  if (TNotifyEvent Handler = OnClick) Handler(this);
  else if (FAction) FAction->Execute();
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (GetComponentState() & csDestroying) return;
  if (TMenu* Menu = GetParentMenu())
    if (!(Menu->GetComponentState() & csDestroying)) Menu->MenuChanged(this, Rebuild);
}

// ---------------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  Destroying();
  delete FItems;
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  MenuChanged(nullptr, false);
}

void TMenu::SetAutoLineReduction(TMenuAutoFlag Value) {
  // A menu has no parent to follow: maParent reads as maAutomatic.
  FAutoLineReduction = Value == maManual ? maManual : maAutomatic;
}

TMenuItem* TMenu::FindItem(std::uintptr_t Value, TFindItemKind Kind) const {
  auto Search = [&](auto& Self, TMenuItem* Parent) -> TMenuItem* {
    for (TMenuItem* Item : Parent->FItems) {
      bool Match = false;
      switch (Kind) {
        case fkCommand: Match = Item->GetCommand() == Value; break;
        case fkHandle: Match = reinterpret_cast<std::uintptr_t>(Item->GetHandle()) == Value; break;
        case fkShortCut: Match = Item->GetShortCut() != 0 && Item->GetShortCut() == Value; break;
      }
      if (Match) return Item;
      if (TMenuItem* Found = Self(Self, Item)) return Found;
    }
    return nullptr;
  };
  return Search(Search, FItems);
}

bool TMenu::DispatchCommand(Word ACommand) {
  TMenuItem* Item = FindItem(ACommand, fkCommand);
  if (!Item) return false;
  Item->Click();
  return true;
}

bool TMenu::IsShortCut(TWMKey& Message) {
  TShiftState Shift = KeyDataToShiftState(Message.KeyData);
  TShortCut Wanted = ShortCut(Message.CharCode & 0xFF, Shift);
  if ((Wanted & 0xFF) == 0) return false;
  TMenuItem* Item = FindItem(Wanted, fkShortCut);
  if (!Item) return false;
  for (TMenuItem* P = Item; P; P = P->GetParent())
    if (!P->GetEnabled()) return false;
  Item->Click();
  return true;
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(FImages)) {
    FImages = nullptr;
    MenuChanged(nullptr, false);
  }
}

void TMenu::MenuChanged(TMenuItem*, bool) {
  if (GetComponentState() & (csDestroying | csLoading)) return;
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------

void TPopupMenu::Popup(int X, int Y) {
  FPopupPoint = Point(X, Y);
  DoPopup(this);
  ShowPlainPopupMenu(this, X, Y);
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}
