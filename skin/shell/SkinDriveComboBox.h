// TskSkinDriveComboBox: a skinned combo box of the machine's drives (the volumes of the volume
// table, by letter), each with a drive-type glyph and its volume label or network name, keeping
// the current drive letter in Drive. It can steer a linked directory list box.
//
// Contract callers rely on:
// - Right after ItemIndex := i, Drive holds the letter of item i (the main window's disc scan
//   walks the list so).
// - Item texts: a removable drive "e:" (its medium is not read), any other "c: [label]" (or
//   "[]" when the label cannot be read), a network drive "n: server:/export"; letters and texts
//   in the case of TextCase. Drives of an unknown type are not listed.
// - The list is built when the window is made, when TextCase changes, and whenever a volume
//   comes or goes (WM_DEVICECHANGE arrival or removal, which the window system sends it), so a
//   disc or stick put in after start-up is listed. Drive keeps its letter across a rebuild.
// - Setting Drive to a letter that is not listed changes Drive but keeps the selection; 0
//   clears the selection.
#pragma once

#include <memory>

#include "platform/vcl/Bitmap.h"
#include "skin/input/SkinComboBox.h"

class TskSkinDirectoryListBox;

enum TTextCase { tcLowerCase, tcUpperCase };

class TskSkinDriveComboBox : public TskSkinComboBox {
public:
  explicit TskSkinDriveComboBox(TComponent* AOwner);
  ~TskSkinDriveComboBox() override;

  char GetDrive() const { return FDrive; }
  void SetDrive(char Value);
  TTextCase GetTextCase() const { return FTextCase; }
  void SetTextCase(TTextCase Value);
  TskSkinDirectoryListBox* GetDirList() const { return FDirList; }
  void SetDirList(TskSkinDirectoryListBox* Value);

  virtual void RefreshDriveList();

  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The glyph of a drive type's items (null for none); for tests and painters.
  TBitmap* GlyphOf(UINT DriveType) const;

protected:
  void CreateWnd() override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;

private:
  friend class TskSkinDirectoryListBox;
  void DriveChange(TObject* Sender);
  void DrawDriveItem(TCanvas* Cnvs, int Index, TRect TxtRect);
  char InCase(char Letter) const;

  TskSkinDirectoryListBox* FDirList = nullptr;
  char FDrive = 0;
  TTextCase FTextCase = tcLowerCase;
  std::unique_ptr<TBitmap> FFloppyBMP, FHardBMP, FNetworkBMP, FCDROMBMP, FRAMBMP;
};
