#include "extctrls/XcPlaylist.h"

void TXcPlaylistPaths::SetText(const String& Value)
{
  const auto Nul = Value.find('\0');
  TStringList::SetText(Nul == String::npos ? Value : Value.substr(0, Nul));
}

TXcPlaylist::TXcPlaylist(TComponent* AOwner) : TXcListBox(AOwner), FPaths(std::make_unique<TXcPlaylistPaths>())
{
  AttachPaths();
}

TXcPlaylist::~TXcPlaylist()
{
  DetachPaths();
  // The window goes while the path list still exists.
  Destroying();
  DestroyHandle();
}

void TXcPlaylist::AttachPaths()
{
  FPaths->OnChange = [this](TObject*) { UpdateDisplay(); };
}

void TXcPlaylist::SetItems(TStrings* Value)
{
  FPaths->Assign(Value);
  UpdateDisplay();
}

void TXcPlaylist::AddItem(const String& Item, TObject* AObject) { FPaths->AddObject(Item, AObject); }

void TXcPlaylist::Clear() { FPaths->Clear(); }

void TXcPlaylist::SaveToFile(const String& FileName) { FPaths->SaveToFile(FileName); }

void TXcPlaylist::SetShowDrive(bool Value)
{
  if (Value == FShowDrive) return;
  FShowDrive = Value;
  UpdateDisplay();
}

void TXcPlaylist::SetShowNumbers(bool Value)
{
  if (Value == FShowNumbers) return;
  FShowNumbers = Value;
  UpdateDisplay();
}

void TXcPlaylist::SetShowExtension(bool Value)
{
  if (Value == FShowExtension) return;
  FShowExtension = Value;
  UpdateDisplay();
}

String TXcPlaylist::GetDisplayName(const String& Path, int Index) const
{
  String Text = Path;
  if (!FShowDrive) {
    const auto Colon = Text.find(':');
    if (Colon != String::npos) Text.erase(0, Colon + 1);
  }
  if (!FShowExtension) {
    const auto NameStart = Text.find_last_of("/\\");
    const auto Dot = Text.rfind('.');
    if (Dot != String::npos && (NameStart == String::npos || Dot > NameStart)) Text.erase(Dot);
  }
  if (FShowNumbers) Text = std::to_string(Index + 1) + ". " + Text;
  return Text;
}

void TXcPlaylist::UpdateDisplay()
{
  if (Destroying()) return;
  FUpdating = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } Done{FUpdating};
  TStrings* Entries = Shown();
  TStringsUpdate Update(Entries);
  const int Count = FPaths->GetCount();
  if (Count == Entries->GetCount()) {
    for (int I = 0; I < Count; ++I) Entries->Put(I, GetDisplayName(FPaths->Get(I), I));
  } else {
    Entries->Clear();
    for (int I = 0; I < Count; ++I) Entries->Add(GetDisplayName(FPaths->Get(I), I));
  }
}

void TXcPlaylist::LBDeleteString(TMessage& Message)
{
  TXcListBox::LBDeleteString(Message);
  if (FUpdating) return;
  const int Index = static_cast<int>(Message.WParam);
  if (Index < 0 || Index >= FPaths->GetCount()) return;
  DetachPaths();
  try {
    FPaths->Delete(Index);
  } catch (...) {
    AttachPaths();
    throw;
  }
  AttachPaths();
}

void TXcPlaylist::MoveSelectedUp() { MoveSelected(true); }

void TXcPlaylist::MoveSelectedDown() { MoveSelected(false); }

void TXcPlaylist::MoveSelected(bool Up)
{
  const int Count = FPaths->GetCount();
  if (!GetMultiSelect()) {
    const int Index = GetItemIndex();
    if (Up ? Index < 1 : (Index == -1 || Index >= Count - 1)) return;
    const int Other = Up ? Index - 1 : Index + 1;
    FPaths->Exchange(Index, Other);
    SetItemIndex(Other);
    return;
  }
  DetachPaths();
  FUpdating = true;
  try {
    if (Count > 0 && GetSelCount() >= 1 && !GetSelected(Up ? 0 : Count - 1)) {
      if (Up) {
        for (int I = 1; I < Count; ++I)
          if (GetSelected(I)) {
            FPaths->Exchange(I, I - 1);
            SetSelected(I - 1, true);
          }
      } else {
        for (int I = Count - 2; I >= 0; --I)
          if (GetSelected(I)) {
            FPaths->Exchange(I, I + 1);
            SetSelected(I + 1, true);
          }
      }
    }
  } catch (...) {
    FUpdating = false;
    AttachPaths();
    throw;
  }
  FUpdating = false;
  AttachPaths();
  UpdateDisplay();
}
