// TskSkinOpenDialog: the skinned file-open window. Each Execute builds a fresh modal window
// (TskOpenDlgForm) with a tool bar (look-in box, back, up, new folder, view menu), the shell file
// list, the file-name box, the file-type box and the open and cancel buttons, and frees it when
// it returns. The component keeps the results, the filter index, the view style and the size.
//
// Contract callers rely on:
// - Execute answers true when the user accepted: FileName is the chosen file (the first selected
//   row, or the typed name) and Files every selected file in row order, or the typed name when no
//   row was selected. Folders are never in Files. On Cancel FileName and Files stay as they were;
//   FilterIndex, the view style and the size are kept either way.
// - With CheckFileExists (the default) only an existing file is accepted; a typed name is taken
//   in the shown folder, an absolute path as it is; a typed name without extension that is no
//   file gets the filter's extension. Nothing is shown when it is missing; the window stays.
// - Names are data: any byte a Linux name holds is listed, chosen and returned exactly.
// - Filter is "description|mask|..." ("Supported Files|*.avi;*.mkv|All Files|*.*").
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"

class TskSkinData;
class TskSkinnedForm;
class TskSkinEdit;
class TskSkinFilterComboBox;
class TskSkinComboBox;
class TskSkinButton;
class TskSkinSpeedButton;
class TskSkinMenuSpeedButton;
class TskSkinPopupMenu;
class TskSkinFileListView;
class TMenuItem;
class TFont;

class TskOpenDlgForm : public TForm {
public:
  TskOpenDlgForm(TComponent* AOwner, bool ToolButtonsTransparent, TskSkinData* CtrlSkinData, bool SaveMode);
  ~TskOpenDlgForm() override;

  TskSkinnedForm* SkinnedForm = nullptr;
  TskSkinData* CtrlSkinData = nullptr;
  TskSkinComboBox* LookInBox = nullptr;
  TskSkinSpeedButton* BackButton = nullptr;
  TskSkinSpeedButton* UpButton = nullptr;
  TskSkinSpeedButton* NewFolderButton = nullptr;
  TskSkinMenuSpeedButton* ViewButton = nullptr;
  TskSkinPopupMenu* ViewMenu = nullptr;
  TMenuItem* ViewItems[4] = {};
  TskSkinEdit* FileNameEdit = nullptr;
  TskSkinFilterComboBox* FileTypeBox = nullptr;
  TskSkinButton* OpenButton = nullptr;
  TskSkinButton* CancelButton = nullptr;
  TskSkinFileListView* FileList = nullptr;

  TNotifyEvent FolderChange;
  bool CheckFileExists = true;
  bool OverwritePrompt = false;
  String DefaultExt;
  String ResultFileName;
  int NewFolderCount = 0;

  // The user's actions, as the controls run them.
  void Accept();
  void FileNameEnter();
  void GoBack();
  void GoUpClick();
  void NewFolderClick();
  void SetViewStyleItem(int Style);
  void FileTypeChange();
  // Pushes the current folder on the history (Execute does it once before showing).
  void PushHistory();
  // Lists the shown folder and the folders above it in the look-in box.
  void FillLookIn();
  int HistoryCount() const { return static_cast<int>(FHistory.size()); }
  // The extension a typed name gets: "." + DefaultExt, else the chosen filter's.
  String DefaultExtension() const;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;

private:
  void FileListNavigated();
  void FileListChange();
  void FileListDblClick();
  String CurrentFolder() const;
  String SelectedFile() const;
  void AcceptCandidate(const String& Candidate, bool Close);

  std::vector<void*> FHistory;  // full item-id lists, owned
  bool FGoingBack = false;
  bool FSaveMode = false;
  std::vector<void*> FLookInLists;  // the look-in box's folders, owned
};

class TskSkinOpenDialog : public TComponent {
public:
  explicit TskSkinOpenDialog(TComponent* AOwner);
  ~TskSkinOpenDialog() override;

  virtual bool Execute();

  TNotifyEvent OnShow, OnClose, OnFolderChange, OnAccept;
  bool ShowHiddenFiles = false;
  bool ToolButtonsTransparent = false;
  bool OverwritePromt = false;
  String DefaultExt;
  int DialogWidth = 0, DialogHeight = 0, DialogMinWidth = 0, DialogMinHeight = 0;
  bool CheckFileExists = true;
  bool MultiSelection = false;
  String LVHeaderSkinDataName = "resizebutton";
  String Title = "Open file";
  String InitialDir;
  String Filter = "All files|*.*";
  int FilterIndex = 1;
  bool AlphaBlend = false;
  Byte AlphaBlendValue = 225;
  bool AlphaBlendAnimation = false;
  bool CtrlAlphaBlend = false;
  Byte CtrlAlphaBlendValue = 225;
  bool CtrlAlphaBlendAnimation = false;
  Byte ViewStyle = 2;

  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  TskSkinData* GetCtrlSkinData() const { return FCtrlSkinData; }
  void SetCtrlSkinData(TskSkinData* Value);
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  const String& GetFileName() const { return FFileName; }
  void SetFileName(const String& Value);
  TStringList* GetFiles() { return &FFiles; }
  // The window while Execute runs, null otherwise.
  TskOpenDlgForm* GetOpenForm() const { return FForm; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  bool FSaveMode = false;

private:
  TskSkinData* FSkinData = nullptr;
  TskSkinData* FCtrlSkinData = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  TskOpenDlgForm* FForm = nullptr;
  String FFileName;
  TStringList FFiles;
};
