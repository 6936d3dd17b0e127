// TXcPlaylist: a list box that keeps a list of full file paths of its own (Items) and shows one
// entry per path: the path with or without its drive part, with or without the file's
// extension, optionally numbered. The path list is the content; the shown entries are rebuilt
// from it after every change of it, and deleting a shown entry deletes its path. SaveToFile
// writes the paths as a playlist file: one path per line, every line ended by CR LF, nothing
// else; the old file stays whole when the new one cannot be written.
#pragma once

#include <memory>

#include "extctrls/XcListBox.h"

// The path list: a string list whose text ends at a NUL byte, as the class library's string
// loading reads it.
class TXcPlaylistPaths : public TStringList {
public:
  void SetText(const String& Value) override;
};

class TXcPlaylist : public TXcListBox {
public:
  explicit TXcPlaylist(TComponent* AOwner);
  ~TXcPlaylist() override;

  // The path list itself: callers add, load and search through it.
  TStrings* GetItems() const { return FPaths.get(); }
  // Assigns the strings to the path list and shows them.
  void SetItems(TStrings* Value);
  // Appends the path (again, if it is there already) and its object.
  void AddItem(const String& Item, TObject* AObject) override;
  // Empties the path list and with it the shown entries.
  void Clear() override;
  // The path list as a playlist file (EFCreateError when it cannot be written).
  void SaveToFile(const String& FileName);

  bool GetShowDrive() const { return FShowDrive; }
  void SetShowDrive(bool Value);
  bool GetShowNumbers() const { return FShowNumbers; }
  void SetShowNumbers(bool Value);
  bool GetShowExtension() const { return FShowExtension; }
  void SetShowExtension(bool Value);

  // The entry shown for Path at position Index.
  String GetDisplayName(const String& Path, int Index) const;
  // Rebuilds the shown entries from the paths.
  void UpdateDisplay();

  void ItemsChanged() override { UpdateDisplay(); }
  void MoveSelectedUp() override;
  void MoveSelectedDown() override;

protected:
  void LBDeleteString(TMessage& Message) override;

private:
  void MoveSelected(bool Up);
  // The shown entries (the list box's own item store).
  TStrings* Shown() const { return TXcListBox::GetItems(); }
  void AttachPaths();
  void DetachPaths() { FPaths->OnChange = nullptr; }

  bool FShowNumbers = false;
  std::unique_ptr<TXcPlaylistPaths> FPaths;
  bool FShowExtension = false;
  bool FUpdating = false;
  bool FShowDrive = true;
};
