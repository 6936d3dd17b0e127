#include "skin/shell/SkinDriveComboBox.h"

#include "platform/os/DiscWatch.h"
#include "platform/os/Drives.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Paths.h"
#include "platform/win/WinUser.h"
#include "skin/shell/SkinDirectoryListBox.h"
#include "skin/shell/SkinFilePaths.h"
#include "skin/shell/SkinProgramGlyphs.h"

namespace {

char Lower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C; }
char Upper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

}  // namespace

TskSkinDriveComboBox::TskSkinDriveComboBox(TComponent* AOwner) : TskSkinComboBox(AOwner)
{
  OnChange = [this](TObject* Sender) { DriveChange(Sender); };
  auto painter = [this](TCanvas* Cnvs, int Index, int, int, TRect TxtRect, TOwnerDrawState) {
    DrawDriveItem(Cnvs, Index, TxtRect);
  };
  SetOnListBoxDrawItem(painter);
  OnComboBoxDrawItem = painter;
  FFloppyBMP = LoadProgramGlyph("SK_FLOPPY");
  FHardBMP = LoadProgramGlyph("SK_HARD");
  FNetworkBMP = LoadProgramGlyph("SK_NETWORK");
  FCDROMBMP = LoadProgramGlyph("SK_CDROM");
  FRAMBMP = LoadProgramGlyph("SK_RAM");
  FDrive = DriveOfPath(GetCurrentDir());
}

TskSkinDriveComboBox::~TskSkinDriveComboBox()
{
  SetDirList(nullptr);
}

TBitmap* TskSkinDriveComboBox::GlyphOf(UINT DriveType) const
{
  switch (DriveType) {
    case DRIVE_REMOVABLE: return FFloppyBMP.get();
    case DRIVE_FIXED: return FHardBMP.get();
    case DRIVE_REMOTE: return FNetworkBMP.get();
    case DRIVE_CDROM: return FCDROMBMP.get();
    case DRIVE_RAMDISK: return FRAMBMP.get();
    default: return nullptr;
  }
}

char TskSkinDriveComboBox::InCase(char Letter) const
{
  return FTextCase == tcUpperCase ? Upper(Letter) : Lower(Letter);
}

void TskSkinDriveComboBox::RefreshDriveList()
{
  TStrings* items = GetItems();
  TStringsUpdate update(items);
  items->Clear();
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i)))
      continue;
    char letter = static_cast<char>('a' + i);
    String root(1, letter);
    root += ":\\";
    const UINT type = GetDriveTypeA(root.c_str());
    letter = InCase(letter);
    String text;
    switch (type) {
      case DRIVE_REMOVABLE: text = String(1, letter) + ":"; break;
      case DRIVE_FIXED:
      case DRIVE_CDROM:
      case DRIVE_RAMDISK: text = Format("%s: %s", String(1, letter), GetVolumeText(letter)); break;
      case DRIVE_REMOTE: text = Format("%s: %s", String(1, letter), GetNetworkVolumeText(letter)); break;
      default: continue;
    }
    items->AddObject(text, GlyphOf(type));
  }
}

void TskSkinDriveComboBox::SetDrive(char Value)
{
  if (GetItemIndex() >= 0 && Lower(Value) == Lower(FDrive))
    return;
  if (Value != 0) {
    FDrive = InCase(Value);
    TStrings* items = GetItems();
    for (int i = 0; i < items->GetCount(); ++i) {
      const String s = items->Get(i);
      if (s.size() >= 2 && Lower(s[0]) == Lower(Value) && s[1] == ':') {
        SetItemIndex(i);
        break;
      }
    }
  } else {
    FDrive = 0;
    SetItemIndex(-1);
  }
  if (FDirList)
    FDirList->SetDrive(FDrive);
  Change();
}

void TskSkinDriveComboBox::SetTextCase(TTextCase Value)
{
  const char old = FDrive;
  FTextCase = Value;
  RefreshDriveList();
  FDrive = 0;
  SetDrive(old);
}

void TskSkinDriveComboBox::SetDirList(TskSkinDirectoryListBox* Value)
{
  if (FDirList) {
    FDirList->FDriveCombo = nullptr;
    FDirList->RemoveFreeNotification(this);
  }
  FDirList = Value;
  if (FDirList) {
    FDirList->FDriveCombo = this;
    FDirList->FreeNotification(this);
  }
}

void TskSkinDriveComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDirList)
    FDirList = nullptr;
}

void TskSkinDriveComboBox::CreateWnd()
{
  TskSkinComboBox::CreateWnd();
  RefreshDriveList();
  const char d = FDrive;
  FDrive = 0;
  SetDrive(d);
}

void TskSkinDriveComboBox::Loaded()
{
  TskSkinComboBox::Loaded();
  if (GetComponentState() & csDesigning) {
    FDrive = DriveOfPath(GetCurrentDir());
    RefreshDriveList();
    const char d = FDrive;
    FDrive = 0;
    SetDrive(d);
  }
}

void TskSkinDriveComboBox::WndProc(TMessage& Message)
{
  if (Message.Msg == WM_DEVICECHANGE &&
      (Message.WParam == DBT_DEVICEARRIVAL || Message.WParam == DBT_DEVICEREMOVECOMPLETE)) {
    const char d = FDrive;
    RefreshDriveList();
    FDrive = 0;
    SetDrive(d);
  }
  TskSkinComboBox::WndProc(Message);
}

void TskSkinDriveComboBox::DriveChange(TObject*)
{
  const int i = GetItemIndex();
  if (i >= 0) {
    const String s = GetItems()->Get(i);
    if (!s.empty())
      SetDrive(s[0]);
  }
}

void TskSkinDriveComboBox::DrawDriveItem(TCanvas* Cnvs, int Index, TRect R)
{
  TStrings* items = GetItems();
  if (Index < 0 || Index >= items->GetCount())
    return;
  auto* glyph = dynamic_cast<TBitmap*>(items->GetObject(Index));
  int w = 0;
  if (glyph && !glyph->Empty()) {
    w = glyph->GetWidth();
    const int h = glyph->GetHeight();
    const TColor transparent = glyph->GetCanvas()->GetPixels(0, h - 1);
    const int top = (R.top + R.bottom - h) / 2;
    Cnvs->BrushCopy(TRect{R.left, top, R.left + w, top + h}, glyph, TRect{0, 0, w, h}, transparent);
  }
  Cnvs->GetBrush()->SetStyle(bsClear);
  Cnvs->TextOut(R.left + w + 6, R.top + (R.bottom - R.top) / 2 - Cnvs->TextHeight("Wg") / 2, items->Get(Index));
}
