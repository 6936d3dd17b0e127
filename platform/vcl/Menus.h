// Menus as data: menu items with captions, checks, radio groups, shortcuts and unique command
// ids; main and popup menus that find items and dispatch commands; shortcut texts.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Messages.h"

class TBasicAction;
class TBitmap;
class TCanvas;
class TCustomImageList;
class TMenu;

QV_DECLARE_EXCEPTION(EMenuError, Exception);

// Shortcut modifier bits; the low byte is the virtual-key code.
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+F4", "Shift+Ctrl+A", "Alt+BkSp"; "" for a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText, modifiers in any order, without case; 0 when unknown.
TShortCut TextToShortCut(const String& Text);
// Shift state from a key message's data (Alt bit) and the keyboard's Shift/Ctrl state.
TShiftState KeyDataToShiftState(LPARAM KeyData);
// Removes the '&' marks of a caption ("&&" stays as one '&').
String StripHotkey(const String& Text);
// The accelerator character of a caption ('&' followed by it), 0 when there is none.
char GetHotkey(const String& Text);
// True when Accel is Text's accelerator character, compared without case.
bool IsAccel(Word VK, const String& Text);

using TMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
// Whether a menu hides its superfluous separators by itself.
enum TMenuAutoFlag { maAutomatic, maManual, maParent };

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  // Deletes the sub-items and leaves the parent item; gives the command id back.
  ~TMenuItem() override;

  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  bool GetChecked() const { return FChecked; }
  // Checking a radio item clears the checks of the radio items of its group.
  void SetChecked(bool Value);
  bool GetRadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  bool GetAutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  Byte GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value);
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  TMenuBreak GetBreak() const { return FBreak; }
  void SetBreak(TMenuBreak Value);
  // A separator: the caption is "-".
  bool IsLine() const { return FCaption == "-"; }
  // The item's own picture, shown instead of an image of the menu's Images (made on first
  // use, owned by the item; empty until a picture is assigned).
  TBitmap* GetBitmap();
  // Copies Value's picture (null empties it).
  void SetBitmap(TBitmap* Value);
  // True when the item has a picture of its own.
  bool HasBitmap() const;
  // The action whose OnExecute a click runs when the item has no OnClick of its own.
  TBasicAction* GetAction() const { return FAction; }
  void SetAction(TBasicAction* Value);

  // The command id, unique among the live items of the program (1..0xFFFF).
  Word GetCommand() const { return FCommand; }
  // An identification of the item's sub-menu (unique while the item lives).
  HMENU GetHandle() const;

  int GetCount() const { return static_cast<int>(FItems.size()); }
  TMenuItem* GetItem(int Index) const;
  TMenuItem* operator[](int Index) const { return GetItem(Index); }
  TMenuItem* GetParent() const { return FParent; }
  // The menu this item (or its top ancestor) belongs to, or null.
  TMenu* GetParentMenu() const;
  int GetMenuIndex() const;
  void SetMenuIndex(int Value);

  // Appends Item (taken away from any other parent).
  void Add(TMenuItem* Item);
  // EMenuError "Menu index out of range" outside 0..Count; "Menu inserted twice" when Item
  // already has a parent.
  void Insert(int Index, TMenuItem* Item);
  // Takes the item at Index out (not deleted: its owner still has it).
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Deletes every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  // The direct sub-item with that caption (hotkeys ignored), or null.
  TMenuItem* Find(const String& ACaption) const;
  // Hides the superfluous separators among the sub-items (those at the start or the end of
  // what is shown, and all but the last of a run, items that are not shown not counting)
  // and shows again the ones it hid earlier that are needed now. Separators hidden by the
  // program stay hidden. True when a separator came or went.
  bool RethinkLines();

  // Fires OnClick (or, without one, executes Action) when enabled, after toggling Checked
  // for AutoCheck items.
  virtual void Click();
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

protected:
  // Tells the menu that the structure or look changed.
  void MenuChanged(bool Rebuild);

private:
  friend class TMenu;
  void TurnSiblingsOff();

  String FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  bool FRadioItem = false;
  bool FAutoCheck = false;
  bool FDefault = false;
  bool FLineHidden = false;  // hidden by RethinkLines
  Byte FGroupIndex = 0;
  String FHint;
  TShortCut FShortCut = 0;
  int FImageIndex = -1;
  TMenuBreak FBreak = mbNone;
  Word FCommand = 0;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
  std::vector<TMenuItem*> FItems;
  std::unique_ptr<TBitmap> FBitmap;
  TBasicAction* FAction = nullptr;
};

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's entries.
  TMenuItem* GetItems() const { return FItems; }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // maAutomatic (the default): the menu windows call RethinkLines on the items they show.
  TMenuAutoFlag GetAutoLineReduction() const { return FAutoLineReduction; }
  void SetAutoLineReduction(TMenuAutoFlag Value);
  // The item (at any depth) whose command id, handle or shortcut is Value, or null.
  TMenuItem* FindItem(std::uintptr_t Value, TFindItemKind Kind) const;
  // Clicks the item with that command id; false when there is none.
  bool DispatchCommand(Word ACommand);
  // Clicks the enabled, visible item whose shortcut matches the key message (the shift
  // state from KeyDataToShiftState); false when none does.
  virtual bool IsShortCut(TWMKey& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Called by items when they change (Rebuild: items came or went).
  TNotifyEvent OnChange;

protected:
  virtual void MenuChanged(TMenuItem* Source, bool Rebuild);

private:
  friend class TMenuItem;
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  TMenuAutoFlag FAutoLineReduction = maAutomatic;
};

class TMainMenu : public TMenu {
public:
  using TMenu::TMenu;
  bool GetAutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }

private:
  bool FAutoMerge = false;
};

enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };

class TPopupMenu : public TMenu {
public:
  using TMenu::TMenu;
  // Shows the menu at the screen point. The plain menu has no look of its own: it fires
  // OnPopup and returns; skinned menus override this.
  virtual void Popup(int X, int Y);
  TPoint GetPopupPoint() const { return FPopupPoint; }
  TComponent* GetPopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  bool GetAutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  TTrackButton GetTrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup(TObject* Sender);
  TPoint FPopupPoint{};

private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TTrackButton FTrackButton = tbRightButton;
};
