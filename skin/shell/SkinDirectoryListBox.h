// TskSkinDirectoryListBox: a skinned list box that shows the current folder as a small tree:
// the root "/", every folder on the way down (open-folder glyph), the current folder (its own
// glyph) and its subfolders (closed-folder glyph), indented by level. Double click or Enter on an
// entry makes that folder current. It works on the process's current directory: every change of
// folder changes the current directory with it. A linked file list box follows every change, a
// linked label shows the path shortened to fit, a linked drive combo box follows the drive.
//
// Contract callers rely on:
// - Directory is what GetCurrentDir answered after the last successful change; a folder that
//   cannot be entered raises EInOutError from SetDirectory, and then nothing is rebuilt and
//   OnChange is not raised.
// - Item texts are the folder names exactly as the file system has them (any byte but '/').
// - Drive is the letter of the volume that holds Directory (0 when none).
// - After the window is made the current folder's entry is selected.
#pragma once

#include <memory>

#include "platform/vcl/Bitmap.h"
#include "skin/input/SkinListBox.h"

class TskSkinDriveComboBox;
class TskSkinFileListBox;
class TskSkinStdLabel;

class TskSkinDirectoryListBox : public TskSkinListBox {
public:
  explicit TskSkinDirectoryListBox(TComponent* AOwner);
  ~TskSkinDirectoryListBox() override;

  const String& GetDirectory() const { return FDirectory; }
  virtual void SetDirectory(const String& Value);
  char GetDrive() const;
  void SetDrive(char Value);
  TskSkinFileListBox* GetFileList() const { return FFileList; }
  void SetFileList(TskSkinFileListBox* Value);
  TskSkinStdLabel* GetDirLabel() const { return FDirLabel; }
  void SetDirLabel(TskSkinStdLabel* Value);
  TskSkinDriveComboBox* GetDriveCombo() const { return FDriveCombo; }
  bool GetCaseSensitive() const { return FCaseSensitive; }

  String GetItemPath(int Index) const;
  void OpenCurrent();
  virtual void BuildList();

  // The glyph of an item (closed, open or current folder), null for none.
  TBitmap* ItemGlyph(int Index) const;
  TBitmap* ClosedGlyph() const { return FClosedBMP.get(); }
  TBitmap* OpenedGlyph() const { return FOpenedBMP.get(); }
  TBitmap* CurrentGlyph() const { return FCurrentBMP.get(); }
  // The indent of an item's glyph from the item's left edge.
  int ItemIndent(int Index) const;

  int ItemTextWidth(int Index, TCanvas* Canvas) override;
  void ListBoxDblClick() override;
  void ListBoxKeyPress(char& Key) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnChange;

protected:
  virtual void Change();
  virtual void ReadBitmaps();
  void CreateWnd() override;
  void Loaded() override;

private:
  friend class TskSkinDriveComboBox;
  friend class TskSkinFileListBox;
  void DrawDirItem(TCanvas* Cnvs, int Index, TRect R);
  void UpdateDirLabel();
  bool SameDirectory(const String& A, const String& B) const;

  TskSkinFileListBox* FFileList = nullptr;
  TskSkinDriveComboBox* FDriveCombo = nullptr;
  TskSkinStdLabel* FDirLabel = nullptr;
  bool FInSetDir = false;
  bool FCaseSensitive = true;
  std::unique_ptr<TBitmap> FClosedBMP, FOpenedBMP, FCurrentBMP;
  String FDirectory;
  int FCurrentIndex = -1;
};
