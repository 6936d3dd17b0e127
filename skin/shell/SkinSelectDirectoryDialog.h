// TskSkinSelectDirectoryDialog: lets the user pick a folder in a skinned window. Each Execute
// builds a fresh modal window (TskSelDirDlgForm): an optional tool bar (path box, new-folder
// button), the shell folder tree and OK / Cancel, framed by a TskSkinnedForm.
//
// The contract callers rely on:
// - Execute opens at Directory when that names an existing folder, else at Computer (selected
//   and expanded). True only when the user accepted a real folder: OK stays disabled while
//   Computer (or another item without a folder of the file system) is selected, so Directory
//   is then always a path; on Cancel Directory keeps its value.
// - The window's client size starts at DialogWidth x DialogHeight (280 for 0 or less; at least
//   the skinned frame's minimum) and is written back on OK and on Cancel.
// - OnShow before, OnAccept after a successful choice, OnClose always (also when an exception
//   passes). A start path the namespace cannot name raises EInvalidPath out of Execute.
#pragma once

#include <memory>

#include "platform/vcl/Forms.h"
#include "skin/shell/SkinShellTreeView.h"

class TskSkinData;
class TskSkinnedForm;
class TskSkinPanel;
class TskSkinButton;
class TskSkinScrollBar;
class TskSkinEdit;
class TskSkinSpeedButton;

class TskSelDirDlgForm : public TForm {
public:
  TskSelDirDlgForm(TComponent* AOwner, bool ToolButtonsTransparent, bool ShowToolBar, TskSkinData* CtrlSkinData);

  TskSkinnedForm* DSF = nullptr;
  TskSkinPanel* ToolPanel = nullptr;
  TskSkinSpeedButton* NewFolderButton = nullptr;
  TskSkinEdit* PathEdit = nullptr;
  TskSkinPanel* TreePanel = nullptr;
  TskSkinScrollBar* VScrollBar = nullptr;
  TskSkinScrollBar* HScrollBar = nullptr;
  TskSkinDirTreeView* TreeView = nullptr;
  TskSkinPanel* ButtonPanel = nullptr;
  TskSkinButton* OKButton = nullptr;
  TskSkinButton* CancelButton = nullptr;

  // OK is enabled only while the tree's selection is a folder of the file system.
  void UpdateOK();

private:
  String Text(const String& Key, const String& BuiltIn) const;
  void TreeChange(TObject* Sender, TTreeNode* Node);
  void PathKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void NewFolderClick(TObject* Sender);

  TskSkinData* FCtrlSkinData;
  bool FShowToolBar;
  std::unique_ptr<TBitmap> FNewFolderGlyph;
};

class TskSkinSelectDirectoryDialog : public TComponent {
public:
  explicit TskSkinSelectDirectoryDialog(TComponent* AOwner);
  ~TskSkinSelectDirectoryDialog() override;

  bool Execute();

  const String& GetTitle() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  const String& GetDirectory() const { return FDirectory; }
  void SetDirectory(const String& Value) { FDirectory = Value; }
  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  TskSkinData* GetCtrlSkinData() const { return FCtrlSkinData; }
  void SetCtrlSkinData(TskSkinData* Value);
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  // The window while Execute runs, else null.
  TskSelDirDlgForm* GetForm() const { return FForm; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  TNotifyEvent OnAccept;
  bool ToolButtonsTransparent = false;
  int DialogWidth = 0;
  int DialogHeight = 0;
  int DialogMinWidth = 0;
  int DialogMinHeight = 0;
  bool AlphaBlend = false;
  Byte AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  bool ShowToolBar = false;

private:
  TskSkinData* FSkinData = nullptr;
  TskSkinData* FCtrlSkinData = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  String FTitle = "Select folder";
  TskSelDirDlgForm* FForm = nullptr;
  String FDirectory;
};
