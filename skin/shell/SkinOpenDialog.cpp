#include "skin/shell/SkinOpenDialog.h"

#include "platform/rtl/Convert.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/win/WinUser.h"
#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinPanel.h"
#include "skin/controls/SkinScrollBar.h"
#include "skin/controls/SkinSpeedButton.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/foundation/SkinData.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinEdit.h"
#include "skin/input/SkinEditCommands.h"
#include "skin/input/SkinMenu.h"
#include "skin/input/SkinMenuSpeedButton.h"
#include "skin/input/SkinToolBar.h"
#include "skin/shell/SkinFilterComboBox.h"
#include "skin/shell/SkinProgramGlyphs.h"
#include "skin/shell/SkinShellListView.h"

namespace {

// The extension of a file mask, or of its first pattern: "*.avi;*.mkv" -> ".avi"; "" when the
// mask allows any extension (".*").
String MaskExtension(const String& Mask)
{
  if (Mask.find(".*") != String::npos)
    return String();
  const String first = Mask.substr(0, Mask.find(';'));
  return ExtractFileExt(NativeFileName(first));
}

String ExtOf(const String& Path) { return ExtractFileExt(NativeFileName(Path)); }

String FolderOf(const String& Path)
{
  const auto p = Path.rfind('/');
  if (p == String::npos)
    return String();
  return p == 0 ? String("/") : Path.substr(0, p);
}

template <typename T>
T* Make(TWinControl* Parent, TComponent* Owner)
{
  auto* c = new T(Owner);
  c->SetParent(Parent);
  return c;
}

}  // namespace

// ---- the window ----

TskOpenDlgForm::TskOpenDlgForm(TComponent* AOwner, bool ToolButtonsTransparent, TskSkinData* ACtrlSkinData,
                               bool SaveMode)
    : TForm(AOwner), CtrlSkinData(ACtrlSkinData), FSaveMode(SaveMode)
{
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  SetBorderStyle(bsSizeable);
  SkinnedForm = new TskSkinnedForm(this);
  TskResourceStrData* strings = CtrlSkinData ? CtrlSkinData->GetResourceStrData() : nullptr;
  auto text = [&](const char* Key, const char* Fallback) { return EditMenuCaption(strings, Key, Fallback); };
  SetClientWidth(450);
  SetClientHeight(290);

  // Tool bar.
  auto* bar = Make<TskSkinToolBar>(this, this);
  bar->SetAlign(alTop);
  bar->SetBorderStyle(TskSkinBorderStyle::bvNone);
  bar->SetDefaultHeight(25);
  bar->SetHeight(25);
  bar->SetSkinDataName("toolpanel");
  auto* spacer = Make<TskSkinBevel>(bar, this);
  spacer->SetShape(bsSpacer);
  spacer->SetWidth(10);
  spacer->SetAlign(alLeft);
  auto* lookIn = Make<TskSkinStdLabel>(bar, this);
  lookIn->SetAlign(alLeft);
  lookIn->SetLayout(tlCenter);
  lookIn->SetAutoSize(true);
  lookIn->SetCaption(text("FLV_LOOKIN", "Look in: "));
  auto speed = [&](const char* Glyph, const char* HintKey, const char* Hint) {
    auto* b = Make<TskSkinSpeedButton>(bar, this);
    b->SetLeft(GetWidth());
    b->SetAlign(alRight);
    b->SetDefaultWidth(27);
    b->SetDefaultHeight(25);
    b->SetWidth(27);
    b->SetSkinDataName("toolbutton");
    auto g = LoadProgramGlyph(Glyph);
    b->SetGlyph(g.get());
    b->SetHint(text(HintKey, Hint));
    b->SetShowHint(true);
    b->SetFlat(ToolButtonsTransparent);
    return b;
  };
  BackButton = speed("SK_BACK", "MSG_BTN_BACK_HINT", "Go To Last Folder Visited");
  UpButton = speed("SK_UP", "MSG_BTN_UP_HINT", "Up One Level");
  NewFolderButton = speed("SK_NEWFOLDER", "MSG_BTN_NEWFOLDER_HINT", "Create New Folder");
  auto* spacer2 = Make<TskSkinBevel>(bar, this);
  spacer2->SetShape(bsSpacer);
  spacer2->SetLeft(GetWidth());
  spacer2->SetWidth(10);
  spacer2->SetAlign(alRight);
  ViewButton = Make<TskSkinMenuSpeedButton>(bar, this);
  ViewButton->SetLeft(GetWidth());
  ViewButton->SetAlign(alRight);
  ViewButton->SetDefaultWidth(37);
  ViewButton->SetWidth(37);
  ViewButton->SetSkinDataName("toolmenubutton");
  {
    auto g = LoadProgramGlyph("SK_LVSTYLE");
    ViewButton->SetGlyph(g.get());
  }
  ViewButton->SetHint(text("MSG_BTN_VIEWMENU_HINT", "View Menu"));
  ViewButton->SetShowHint(true);
  ViewButton->SetFlat(ToolButtonsTransparent);
  ViewMenu = new TskSkinPopupMenu(this);
  const char* viewKeys[4][2] = {{"MSG_LV_ICON", "Large icons"},
                                {"MSG_LV_SMALLICON", "Small icons"},
                                {"MSG_LV_LIST", "List"},
                                {"MSG_LV_DETAILS", "Details"}};
  for (int i = 0; i < 4; ++i) {
    auto* item = new TMenuItem(ViewMenu);
    item->SetCaption(text(viewKeys[i][0], viewKeys[i][1]));
    item->SetRadioItem(true);
    item->OnClick = [this, i](TObject*) { SetViewStyleItem(i); };
    ViewMenu->GetItems()->Add(item);
    ViewItems[i] = item;
  }
  ViewButton->SetSkinPopupMenu(ViewMenu);
  LookInBox = Make<TskSkinComboBox>(bar, this);
  LookInBox->SetAlign(alClient);
  LookInBox->SetWidth(190);
  LookInBox->SetDropDownCount(10);

  // Bottom panel.
  auto* bottom = Make<TskSkinPanel>(this, this);
  bottom->SetAlign(alBottom);
  bottom->SetBorderStyle(TskSkinBorderStyle::bvNone);
  bottom->SetHeight(80);
  const int cw = GetClientWidth();
  FileNameEdit = Make<TskSkinEdit>(bottom, this);
  FileNameEdit->SetBounds(70, 10, cw - 160, 21);
  FileNameEdit->SetAnchors(akLeft | akTop | akRight);
  FileTypeBox = Make<TskSkinFilterComboBox>(bottom, this);
  FileTypeBox->SetBounds(70, 45, cw - 160, 21);
  FileTypeBox->SetAnchors(akLeft | akTop | akRight);
  OpenButton = Make<TskSkinButton>(bottom, this);
  OpenButton->SetCaption(FSaveMode ? text("MSG_BTN_SAVE", "&Save") : text("MSG_BTN_OPEN", "&Open"));
  OpenButton->SetBounds(cw - 80, 10, 70, 25);
  OpenButton->SetAnchors(akTop | akRight);
  CancelButton = Make<TskSkinButton>(bottom, this);
  CancelButton->SetCaption(text("MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetBounds(cw - 80, 45, 70, 25);
  CancelButton->SetAnchors(akTop | akRight);
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);
  auto* nameLabel = Make<TskSkinStdLabel>(bottom, this);
  nameLabel->SetAutoSize(true);
  nameLabel->SetCaption(text("MSG_FILENAME", "File name:"));
  nameLabel->SetLeft(10);
  nameLabel->SetTop(10);
  auto* typeLabel = Make<TskSkinStdLabel>(bottom, this);
  typeLabel->SetAutoSize(true);
  typeLabel->SetCaption(text("MSG_FILETYPE", "File type:"));
  typeLabel->SetLeft(10);
  typeLabel->SetTop(45);

  // List panel.
  auto* listPanel = Make<TskSkinPanel>(this, this);
  listPanel->SetAlign(alClient);
  listPanel->SetBorderStyle(TskSkinBorderStyle::bvFrame);
  auto* hbar = Make<TskSkinScrollBar>(listPanel, this);
  hbar->SetKind(sbHorizontal);
  hbar->SetAlign(alBottom);
  hbar->SetDefaultHeight(19);
  hbar->SetHeight(19);
  hbar->SetBothMarkerWidth(19);
  hbar->SetEnabled(false);
  hbar->SetSkinDataName("hscrollbar");
  auto* vbar = Make<TskSkinScrollBar>(listPanel, this);
  vbar->SetKind(sbVertical);
  vbar->SetAlign(alRight);
  vbar->SetDefaultWidth(19);
  vbar->SetWidth(19);
  vbar->SetEnabled(false);
  vbar->SetSkinDataName("vscrollbar");
  FileList = Make<TskSkinFileListView>(listPanel, this);
  FileList->SetAlign(alClient);
  FileList->SetViewStyle(vsList);
  FileList->SetShowColumnHeaders(true);
  FileList->SetHideSelection(false);
  FileList->SetHScrollBar(hbar);
  FileList->SetVScrollBar(vbar);

  // Events.
  OpenButton->OnClick = [this](TObject*) { Accept(); };
  BackButton->OnClick = [this](TObject*) { GoBack(); };
  UpButton->OnClick = [this](TObject*) { GoUpClick(); };
  NewFolderButton->OnClick = [this](TObject*) { NewFolderClick(); };
  FileTypeBox->OnChange = [this](TObject*) { FileTypeChange(); };
  FileList->OnNavigated = [this](TObject*) { FileListNavigated(); };
  FileList->OnChange = [this](TObject*, TListItem*, TItemChange) { FileListChange(); };
  FileList->OnDblClick = [this](TObject*) { FileListDblClick(); };
  LookInBox->OnChange = [this](TObject*) {
    const int i = LookInBox->GetItemIndex();
    if (i >= 0 && i < static_cast<int>(FLookInLists.size()))
      FileList->NavigateTo(static_cast<LPCITEMIDLIST>(FLookInLists[static_cast<std::size_t>(i)]));
  };
}

TskOpenDlgForm::~TskOpenDlgForm()
{
  for (void* list : FHistory)
    FreeItemIdList(static_cast<LPITEMIDLIST>(list));
  for (void* list : FLookInLists)
    FreeItemIdList(static_cast<LPITEMIDLIST>(list));
}

String TskOpenDlgForm::CurrentFolder() const
{
  return IncludeTrailingPathDelimiter(FileList->GetFolderPath());
}

String TskOpenDlgForm::DefaultExtension() const
{
  if (!DefaultExt.empty())
    return "." + DefaultExt;
  return MaskExtension(FileTypeBox->GetMask());
}

void TskOpenDlgForm::AcceptCandidate(const String& Candidate, bool Close)
{
  ResultFileName = Candidate;
  if (Close)
    SetModalResult(mrOk);
}

String TskOpenDlgForm::SelectedFile() const
{
  // The first selected row that is a file: a folder selected with files does not hide them.
  TStringList files;
  FileList->GetSelectedFiles(&files);
  return files.GetCount() > 0 ? files.Get(0) : String();
}

void TskOpenDlgForm::Accept()
{
  const String selected = SelectedFile();
  const String typed = FileNameEdit->GetText();
  // A typed name is taken in the shown folder; an absolute path as it is. A name without
  // extension that is no file gets the filter's extension.
  auto candidateOf = [&] {
    String c = (!typed.empty() && typed[0] == '/') ? typed : CurrentFolder() + typed;
    if (ExtOf(c).empty() && !FileExists(c))
      c += DefaultExtension();
    return c;
  };
  if (!FSaveMode && CheckFileExists && selected.empty() && !typed.empty() && !FileExists(candidateOf()))
    return;
  if (typed.empty() && selected.empty())
    return;
  if (FSaveMode) {
    if (typed.find('*') != String::npos)
      return;
    const String result = (!typed.empty() && typed[0] == '/') ? typed : CurrentFolder() + typed;
    // The overwrite question needs the skinned message box, which this program has no use for
    // (nothing opens the dialog in save mode): the name is accepted at once.
    AcceptCandidate(result, true);
    return;
  }
  const String result = selected.empty() ? candidateOf() : selected;
  if (CheckFileExists) {
    if (FileExists(result))
      AcceptCandidate(result, true);
    else
      ResultFileName.clear();
    return;
  }
  AcceptCandidate(result, true);
}

void TskOpenDlgForm::FileNameEnter()
{
  const String typed = FileNameEdit->GetText();
  if (typed.find('*') != String::npos) {
    FileList->SetMask(typed);
    return;
  }
  if (typed.find('/') != String::npos && DirectoryExists(typed)) {
    FileList->SetFolderPath(typed);
    return;
  }
  Accept();
}

void TskOpenDlgForm::KeyDown(Word& Key, TShiftState Shift)
{
  if (Key == VK_RETURN && GetActiveControl() == FileNameEdit) {
    Key = 0;
    FileNameEnter();
    return;
  }
  if (Key == VK_RETURN && GetActiveControl() == FileList && !(Shift & ssAlt) && !SelectedFile().empty()) {
    Key = 0;
    Accept();
    return;
  }
  TForm::KeyDown(Key, Shift);
}

void TskOpenDlgForm::PushHistory()
{
  if (TskShellFolder* f = FileList->GetRootFolder())
    FHistory.push_back(CloneItemIdList(f->GetAbsoluteID()));
}

void TskOpenDlgForm::FillLookIn()
{
  for (void* list : FLookInLists)
    FreeItemIdList(static_cast<LPITEMIDLIST>(list));
  FLookInLists.clear();
  TskShellFolder* current = FileList->GetRootFolder();
  TStrings* items = LookInBox->GetItems();
  items->Clear();
  if (!current)
    return;
  // The folder and every folder above it, the desktop first.
  TList* ancestors = AncestorItemIdLists(current->GetAbsoluteID());
  for (int i = 0; i < ancestors->GetCount(); ++i)
    FLookInLists.push_back(CloneItemIdList(static_cast<LPCITEMIDLIST>(ancestors->Get(i))));
  FreeItemIdLists(ancestors);
  FLookInLists.push_back(CloneItemIdList(current->GetAbsoluteID()));
  for (std::size_t i = 0; i < FLookInLists.size(); ++i) {
    auto* item = CreateItemForIdList(static_cast<LPCITEMIDLIST>(FLookInLists[i]));
    items->Add(String(i * 2, ' ') + item->GetDisplayName());
    delete item;
  }
  const TNotifyEvent saved = LookInBox->OnChange;
  LookInBox->OnChange = nullptr;
  LookInBox->SetItemIndex(static_cast<int>(FLookInLists.size()) - 1);
  LookInBox->OnChange = saved;
}

void TskOpenDlgForm::FileListNavigated()
{
  if (!FGoingBack)
    PushHistory();
  if (FileList->FolderCount() > 0)
    FileList->GetItems()->GetItem(0)->SetFocused(true);
  FillLookIn();
  if (FolderChange)
    FolderChange(this);
}

void TskOpenDlgForm::FileListChange()
{
  TskShellFolder* item = FileList->SelectedFolder();
  if (item && !item->IsFolder())
    FileNameEdit->SetText(NativeFileName(item->GetFileSystemPath()));
  if (FolderChange)
    FolderChange(this);
}

void TskOpenDlgForm::FileListDblClick()
{
  const String selected = FileList->GetSelectedFile();
  if (!selected.empty())
    AcceptCandidate(selected, true);
}

void TskOpenDlgForm::GoBack()
{
  if (FHistory.size() < 2)
    return;
  FGoingBack = true;
  LPITEMIDLIST target = static_cast<LPITEMIDLIST>(FHistory[FHistory.size() - 2]);
  try {
    FileList->NavigateTo(target);
  } catch (...) {
    FGoingBack = false;
    throw;
  }
  FGoingBack = false;
  FHistory.erase(FHistory.end() - 2);
  FreeItemIdList(target);
}

void TskOpenDlgForm::GoUpClick() { FileList->GoUp(); }

void TskOpenDlgForm::NewFolderClick()
{
  const String folder = FileList->GetFolderPath();
  if (folder.find('/') == String::npos)
    return;
  ++NewFolderCount;
  TskResourceStrData* strings = CtrlSkinData ? CtrlSkinData->GetResourceStrData() : nullptr;
  String name = EditMenuCaption(strings, "MSG_NEWFOLDER", "New Folder");
  if (NewFolderCount > 1)
    name += "(" + IntToStr(NewFolderCount) + ")";
  const String path = IncludeTrailingPathDelimiter(folder) + name;
  if (FileExists(path) || DirectoryExists(path))
    return;
  if (!CreateDir(path)) {
    EInOutError e(Format("Unable to create directory"));
    e.ErrorCode = static_cast<int>(GetLastError());
    throw e;
  }
  FileList->RefreshContents();
  Application->ProcessMessages();
  for (int i = 0; i < FileList->FolderCount(); ++i)
    if (FileList->Folders(i)->GetDisplayName() == name) {
      FileList->SetItemIndex(i);
      FileList->GetItems()->GetItem(i)->EditCaption();
      break;
    }
}

void TskOpenDlgForm::SetViewStyleItem(int Style)
{
  FileList->SetViewStyle(static_cast<TViewStyle>(Style));
  for (int i = 0; i < 4; ++i)
    ViewItems[i]->SetChecked(i == Style);
}

void TskOpenDlgForm::FileTypeChange()
{
  FileList->SetMask(FileTypeBox->GetMask());
  if (!FSaveMode)
    return;
  const String ext = MaskExtension(FileTypeBox->GetMask());
  String typed = FileNameEdit->GetText();
  if (ext.empty() || typed.empty())
    return;
  const String old = ExtOf(typed);
  if (!old.empty())
    typed.erase(typed.find(old), old.size());
  FileNameEdit->SetText(typed + ext);
}

// ---- the component ----

TskSkinOpenDialog::TskSkinOpenDialog(TComponent* AOwner) : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
}

TskSkinOpenDialog::~TskSkinOpenDialog() = default;

void TskSkinOpenDialog::SetSkinData(TskSkinData* Value)
{
  FSkinData = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinOpenDialog::SetCtrlSkinData(TskSkinData* Value)
{
  FCtrlSkinData = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinOpenDialog::SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }

void TskSkinOpenDialog::SetFileName(const String& Value)
{
  FFileName = Value;
  if (FForm)
    FForm->FileNameEdit->SetText(Value);
}

void TskSkinOpenDialog::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  if (AComponent == FCtrlSkinData)
    FCtrlSkinData = nullptr;
}

bool TskSkinOpenDialog::Execute()
{
  if (OnShow)
    OnShow(this);
  bool accepted = false;
  try {
    std::unique_ptr<TskOpenDlgForm> form(new TskOpenDlgForm(Application, ToolButtonsTransparent, FCtrlSkinData, FSaveMode));
    FForm = form.get();
    form->FolderChange = OnFolderChange ? TNotifyEvent([this](TObject*) { OnFolderChange(FForm); }) : TNotifyEvent();
    form->CheckFileExists = CheckFileExists;
    form->OverwritePrompt = OverwritePromt;
    form->DefaultExt = DefaultExt;

    form->SetCaption(Title);
    TskSkinnedForm* frame = form->SkinnedForm;
    frame->SetBorderIcons(0);
    frame->MinWidth = DialogMinWidth;
    frame->MinHeight = DialogMinHeight;
    frame->SetAlphaBlend(AlphaBlend);
    frame->SetAlphaBlendValue(AlphaBlendValue);
    frame->SetMenusAlphaBlend(CtrlAlphaBlend);
    frame->SetMenusAlphaBlendValue(CtrlAlphaBlendValue);
    frame->SetMenusAlphaBlendAnimation(CtrlAlphaBlendAnimation);
    frame->SetSkinData(FSkinData);
    for (TskSkinComboBox* box : {form->LookInBox, static_cast<TskSkinComboBox*>(form->FileTypeBox)}) {
      box->SetListBoxAlphaBlend(CtrlAlphaBlend);
      box->SetListBoxAlphaBlendValue(CtrlAlphaBlendValue);
      box->SetListBoxAlphaBlendAnimation(CtrlAlphaBlendAnimation);
    }
    form->OpenButton->SetDefaultFont(FDefaultFont.get());
    form->CancelButton->SetDefaultFont(FDefaultFont.get());
    form->LookInBox->SetDefaultFont(FDefaultFont.get());
    form->FileList->SetDefaultFont(FDefaultFont.get());

    const int style = ViewStyle <= 3 ? ViewStyle : 2;
    form->SetViewStyleItem(style);

    // Start folder: the one FileName names, else InitialDir when it exists, else the program's.
    const String programDir = FolderOf(Application->GetExeName());
    String start;
    if (FFileName.find('/') != String::npos)
      start = FolderOf(FFileName);
    else if (InitialDir.empty() || !DirectoryExists(InitialDir))
      start = programDir;
    else
      start = InitialDir;
    if (start.empty())
      start = GetCurrentDir();
    form->FileList->SetMultiSelect(MultiSelection);
    if (ShowHiddenFiles)
      form->FileList->SetObjectTypes(form->FileList->GetObjectTypes() | ShellObjectTypeBit(otHidden));
    form->FileList->SetHeaderSkinDataName(LVHeaderSkinDataName);
    form->FileTypeBox->SetFilter(Filter);
    form->FileTypeBox->HandleNeeded();
    form->FileTypeBox->SetItemIndex(FilterIndex - 1);
    form->FileList->SetMask(form->FileTypeBox->GetMask());
    form->FileList->SetRoot(start);

    // Skins of the controls.
    for (int i = 0; i < form->GetComponentCount(); ++i) {
      TComponent* c = form->GetComponent(i);
      if (auto* w = dynamic_cast<TskSkinControl*>(c))
        w->SetSkinData(FCtrlSkinData);
      else if (auto* g = dynamic_cast<TskGraphicSkinControl*>(c))
        g->SetSkinData(FCtrlSkinData);
      else if (auto* l = dynamic_cast<TskSkinStdLabel*>(c))
        l->SetSkinData(FCtrlSkinData);
      else if (auto* b = dynamic_cast<TskSkinBevel*>(c))
        b->SetSkinData(FCtrlSkinData);
    }
    form->FileList->SetSkinData(FCtrlSkinData);
    form->LookInBox->SetSkinDataName("combobox");

    int w = DialogWidth > 0 ? DialogWidth : 450;
    int h = DialogHeight > 0 ? DialogHeight : 290;
    if (FSkinData && !FSkinData->Empty) {
      w = std::max(w, frame->GetEffectiveMinWidth());
      h = std::max(h, frame->GetEffectiveMinHeight());
    }
    form->SetClientWidth(w);
    form->SetClientHeight(h);

    form->FileList->HandleNeeded();
    if (form->FileList->FolderCount() > 0)
      form->FileList->GetItems()->GetItem(0)->SetFocused(true);
    form->FileNameEdit->SetText(NativeFileName(FFileName));
    form->PushHistory();
    form->FillLookIn();
    form->SetActiveControl(form->FileNameEdit);

    const int result = form->ShowModal();
    FilterIndex = form->FileTypeBox->GetItemIndex() + 1;
    DialogWidth = form->GetClientWidth();
    DialogHeight = form->GetClientHeight();
    ViewStyle = static_cast<Byte>(form->FileList->GetViewStyle());
    if (result == mrOk) {
      FFileName = form->ResultFileName;
      form->FileList->GetSelectedFiles(&FFiles);
      if (FFiles.GetCount() == 0 && !FFileName.empty())
        FFiles.Add(FFileName);  // a typed name
      else if (FFiles.GetCount() > 0)
        FFileName = FFiles.Get(0);
      accepted = true;
      if (OnAccept)
        OnAccept(this);
    }
  } catch (...) {
    FForm = nullptr;
    if (OnClose)
      OnClose(this);
    throw;
  }
  FForm = nullptr;
  if (OnClose)
    OnClose(this);
  return accepted;
}
