// TskSkinFileListBox: a skinned list box of the entries of one folder that match a mask (one or
// more patterns joined by ';', matched without regard to A-Z case) and an attribute filter. It
// can fill a linked edit with the selected name and follows a linked directory list box. Like
// the directory list box it works on the process's current directory.
//
// Contract callers rely on:
// - Files are listed by their names exactly as the file system has them (any byte but '/'),
//   folders as "[name]" ("." and ".." too) when FileType asks for folders.
// - The default FileType [spftNormal] lists every entry that is neither hidden ('.' names),
//   a system entry (sockets, devices, FIFOs) nor a folder.
// - A folder that cannot be entered raises EInOutError from SetDirectory and from reading.
// - GetFileName is the folder joined with the selected name, "" when nothing is selected.
#pragma once

#include <cstdint>

#include "skin/input/SkinListBox.h"

class TskSkinDirectoryListBox;
class TskSkinFilterComboBox;
class TCustomEdit;

enum TskFileAttr { spftReadOnly, spftHidden, spftSystem, spftVolumeID, spftDirectory, spftArchive, spftNormal };
using TskFileType = std::uint32_t;
constexpr TskFileType FileTypeOf(TskFileAttr A) { return 1u << A; }

class TskSkinFileListBox : public TskSkinListBox {
public:
  explicit TskSkinFileListBox(TComponent* AOwner);
  ~TskSkinFileListBox() override;

  const String& GetDirectory() const { return FDirectory; }
  void SetDirectory(const String& Value);
  const String& GetMask() const { return FMask; }
  void SetMask(const String& Value);
  TskFileType GetFileType() const { return FFileType; }
  void SetFileType(TskFileType Value);
  TCustomEdit* GetFileEdit() const { return FFileEdit; }
  void SetFileEdit(TCustomEdit* Value);
  TskSkinDirectoryListBox* GetDirList() const { return FDirList; }
  TskSkinFilterComboBox* GetFilterCombo() const { return FFilterCombo; }

  virtual void ReadFileNames();
  virtual String GetFileName() const;
  virtual void SetFileName(const String& Value);
  // The name of the selected item, "" when none.
  String SelectedName() const;
  // Selects the item whose whole text equals Name ignoring A-Z case (none when there is no such
  // item), then Change.
  void SelectByName(const String& Name);

  void ListBoxClick() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnChange;

protected:
  virtual void Change();
  void CreateWnd() override;
  void Loaded() override;

private:
  friend class TskSkinDirectoryListBox;
  friend class TskSkinFilterComboBox;

  String FDirectory;
  String FMask = "*.*";
  TskFileType FFileType = FileTypeOf(spftNormal);
  TCustomEdit* FFileEdit = nullptr;
  TskSkinDirectoryListBox* FDirList = nullptr;
  TskSkinFilterComboBox* FFilterCombo = nullptr;
  int FLastSel = -1;
};
