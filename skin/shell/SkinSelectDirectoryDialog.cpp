#include "skin/shell/SkinSelectDirectoryDialog.h"

#include "platform/rtl/Files.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ExtCtrls.h"
#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinPanel.h"
#include "skin/controls/SkinScrollBar.h"
#include "skin/controls/SkinSpeedButton.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinEdit.h"
#include "skin/shell/SkinShellImages.h"

namespace {

bool IsExistingFolder(const String& Path) { return !Path.empty() && DirectoryExists(Path); }

}  // namespace

// ---- The window ----------------------------------------------------------------------------

TskSelDirDlgForm::TskSelDirDlgForm(TComponent* AOwner, bool ToolButtonsTransparent, bool ShowToolBar,
                                   TskSkinData* CtrlSkinData)
    : TForm(AOwner), FCtrlSkinData(CtrlSkinData), FShowToolBar(ShowToolBar)
{
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  DSF = new TskSkinnedForm(this);

  if (ShowToolBar) {
    ToolPanel = new TskSkinPanel(this);
    ToolPanel->SetParent(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetBorderStyle(TskSkinBorderStyle::bvNone);
    ToolPanel->SetDefaultHeight(25);
    ToolPanel->SetSkinDataName("toolpanel");

    NewFolderButton = new TskSkinSpeedButton(this);
    NewFolderButton->SetParent(ToolPanel);
    NewFolderButton->SetAlign(alRight);
    NewFolderButton->SetDefaultWidth(27);
    NewFolderButton->SetDefaultHeight(25);
    NewFolderButton->SetSkinDataName("toolbutton");
    FNewFolderGlyph = std::make_unique<TBitmap>(16, 16, pf32bit);
    FNewFolderGlyph->GetCanvas()->GetBrush()->SetColor(clBtnFace);
    FNewFolderGlyph->GetCanvas()->FillRect(TRect{0, 0, 16, 16});
    ShellSmallImages()->Draw(FNewFolderGlyph->GetCanvas(), 0, 0, siFolder);
    NewFolderButton->SetGlyph(FNewFolderGlyph.get());
    NewFolderButton->SetHint(Text("MSG_BTN_NEWFOLDER_HINT", "Create New Folder"));
    NewFolderButton->SetShowHint(true);
    NewFolderButton->SetFlat(ToolButtonsTransparent);
    NewFolderButton->OnClick = [this](TObject* Sender) { NewFolderClick(Sender); };

    auto* spacer = new TskSkinBevel(this);
    spacer->SetParent(ToolPanel);
    spacer->SetAlign(alRight);
    spacer->SetWidth(5);
    spacer->SetShape(bsSpacer);

    PathEdit = new TskSkinEdit(this);
    PathEdit->SetParent(ToolPanel);
    PathEdit->SetAlign(alClient);
    PathEdit->SetHeight(25);
    PathEdit->SetSkinDataName("tooledit");
    PathEdit->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { PathKeyDown(Sender, Key, Shift); };
  }

  TreePanel = new TskSkinPanel(this);
  TreePanel->SetParent(this);
  TreePanel->SetAlign(alClient);
  TreePanel->SetBorderStyle(TskSkinBorderStyle::bvFrame);
  TreePanel->SetHeight(200);

  VScrollBar = new TskSkinScrollBar(this);
  VScrollBar->SetParent(TreePanel);
  VScrollBar->SetKind(sbVertical);
  VScrollBar->SetAlign(alRight);
  VScrollBar->SetDefaultWidth(19);
  VScrollBar->SetEnabled(false);
  VScrollBar->SetSkinDataName("vscrollbar");

  HScrollBar = new TskSkinScrollBar(this);
  HScrollBar->SetParent(TreePanel);
  HScrollBar->SetKind(sbHorizontal);
  HScrollBar->SetAlign(alBottom);
  HScrollBar->SetDefaultHeight(19);
  HScrollBar->SetBothMarkerWidth(19);
  HScrollBar->SetEnabled(false);
  HScrollBar->SetSkinDataName("hscrollbar");

  TreeView = new TskSkinDirTreeView(this);
  TreeView->SetParent(TreePanel);
  TreeView->SetAlign(alClient);
  TreeView->SetVScrollBar(VScrollBar);
  TreeView->SetHScrollBar(HScrollBar);
  TreeView->SetObjectTypes(TreeView->GetObjectTypes() | ShellObjectTypeBit(otHidden));
  TreeView->SetHideSelection(false);
  TreeView->OnChange = [this](TObject* Sender, TTreeNode* Node) { TreeChange(Sender, Node); };

  ButtonPanel = new TskSkinPanel(this);
  ButtonPanel->SetParent(this);
  ButtonPanel->SetAlign(alBottom);
  ButtonPanel->SetBorderStyle(TskSkinBorderStyle::bvNone);
  ButtonPanel->SetHeight(50);

  OKButton = new TskSkinButton(this);
  OKButton->SetParent(ButtonPanel);
  OKButton->SetDefault(true);
  OKButton->SetCaption(Text("MSG_BTN_OK", "OK"));
  OKButton->SetTabStop(true);
  OKButton->SetBounds(20, 15, 70, 25);
  OKButton->SetDefaultHeight(25);
  OKButton->SetModalResult(mrOk);

  CancelButton = new TskSkinButton(this);
  CancelButton->SetParent(ButtonPanel);
  CancelButton->SetCaption(Text("MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetTabStop(true);
  CancelButton->SetBounds(100, 15, 70, 25);
  CancelButton->SetDefaultHeight(25);
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);
}

String TskSelDirDlgForm::Text(const String& Key, const String& BuiltIn) const
{
  if (FCtrlSkinData && FCtrlSkinData->GetResourceStrData()) {
    const String text = FCtrlSkinData->GetResourceStrData()->GetResStr(Key);
    if (!text.empty()) return text;
  }
  return BuiltIn;
}

void TskSelDirDlgForm::UpdateOK()
{
  TskShellFolder* selected = TreeView->SelectedFolder();
  const bool real = selected && selected->IsFolder() && IsExistingFolder(selected->GetFileSystemPath());
  OKButton->SetEnabled(real);
}

void TskSelDirDlgForm::TreeChange(TObject*, TTreeNode*)
{
  if (FShowToolBar && PathEdit) PathEdit->SetText(TreeView->GetSelectedPath());
  UpdateOK();
}

void TskSelDirDlgForm::PathKeyDown(TObject*, Word& Key, TShiftState)
{
  if (Key != VK_RETURN) return;
  const String path = PathEdit->GetText();
  if (IsExistingFolder(path)) TreeView->SetPath(path);
  Key = 0;
}

void TskSelDirDlgForm::NewFolderClick(TObject*)
{
  TTreeNode* node = TreeView->GetSelected();
  if (!node) return;
  const String base = TreeView->GetSelectedPath();
  // Only below a folder of the file system (a path), never below Computer.
  if (base.empty() || base[0] != '/') return;
  const String path = base + (base.back() == '/' ? "" : "/") + Text("MSG_NEWFOLDER", "New Folder");
  if (DirectoryExists(path)) return;
  if (!CreateDir(path)) {
    EInOutError error(Format("Unable to create folder \"%s\"", {path}));
    error.ErrorCode = static_cast<int>(GetLastError());
    throw error;
  }
  TreeView->RefreshNode(node);
}

// ---- The component -------------------------------------------------------------------------

TskSkinSelectDirectoryDialog::TskSkinSelectDirectoryDialog(TComponent* AOwner)
    : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetStyle(0);
  FDefaultFont->SetHeight(14);
}

TskSkinSelectDirectoryDialog::~TskSkinSelectDirectoryDialog() = default;

void TskSkinSelectDirectoryDialog::SetSkinData(TskSkinData* Value)
{
  FSkinData = Value;
  if (Value) FreeNotification(Value);
}

void TskSkinSelectDirectoryDialog::SetCtrlSkinData(TskSkinData* Value)
{
  FCtrlSkinData = Value;
  if (Value) FreeNotification(Value);
}

void TskSkinSelectDirectoryDialog::SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }

void TskSkinSelectDirectoryDialog::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FCtrlSkinData) FCtrlSkinData = nullptr;
}

bool TskSkinSelectDirectoryDialog::Execute()
{
  if (OnShow) OnShow(this);
  bool accepted = false;
  try {
    FForm = new TskSelDirDlgForm(Application, ToolButtonsTransparent, ShowToolBar, FCtrlSkinData);
    FForm->SetCaption(FTitle);
    TskSkinnedForm* frame = FForm->DSF;
    frame->SetBorderIcons(0);
    frame->SetSkinData(FSkinData);
    frame->SetMenusSkinData(FCtrlSkinData);
    frame->SetAlphaBlend(AlphaBlend);
    frame->AlphaBlendAnimation = AlphaBlendAnimation;
    frame->SetAlphaBlendValue(AlphaBlendValue);
    frame->MinWidth = DialogMinWidth;
    frame->MinHeight = DialogMinHeight;

    FForm->TreePanel->SetSkinData(FCtrlSkinData);
    FForm->TreeView->SetDefaultFont(FDefaultFont.get());
    FForm->TreeView->SetSkinData(FCtrlSkinData);
    FForm->TreeView->HandleNeeded();
    if (IsExistingFolder(FDirectory))
      FForm->TreeView->SetPath(FDirectory);
    else
      FForm->TreeView->SelectMyComputer();
    FForm->UpdateOK();

    for (TskSkinScrollBar* bar : {FForm->VScrollBar, FForm->HScrollBar}) bar->SetSkinData(FCtrlSkinData);
    for (TskSkinButton* button : {FForm->OKButton, FForm->CancelButton}) {
      button->SetSkinData(FCtrlSkinData);
      button->SetDefaultFont(FDefaultFont.get());
    }
    FForm->ButtonPanel->SetSkinData(FCtrlSkinData);

    int width = DialogWidth > 0 ? DialogWidth : 280;
    int height = DialogHeight > 0 ? DialogHeight : 280;
    if (FSkinData && !FSkinData->Empty) {
      width = std::max(width, frame->GetEffectiveMinWidth());
      height = std::max(height, frame->GetEffectiveMinHeight());
    }
    FForm->SetClientWidth(width);
    FForm->SetClientHeight(height);

    const int result = FForm->ShowModal();
    DialogWidth = FForm->GetClientWidth();
    DialogHeight = FForm->GetClientHeight();
    if (result == mrOk) {
      // Only a folder of the file system is an answer (OK is disabled otherwise).
      const String chosen = FForm->TreeView->SelectedFolder() ? FForm->TreeView->SelectedFolder()->GetFileSystemPath() : String();
      if (IsExistingFolder(chosen)) {
        FDirectory = chosen;
        accepted = true;
        if (OnAccept) OnAccept(this);
      }
    }
  } catch (...) {
    if (OnClose) OnClose(this);
    delete std::exchange(FForm, nullptr);
    throw;
  }
  if (OnClose) OnClose(this);
  delete std::exchange(FForm, nullptr);
  return accepted;
}
