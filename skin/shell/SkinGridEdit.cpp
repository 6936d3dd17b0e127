// The skinned grid's side of in-place editing: when the editor shows, which cell it edits,
// its look from the skin, and how its text goes back into the grid.
#include "skin/shell/SkinGridEditors.h"
#include "skin/shell/SkinGrids.h"

TskSkinInplaceEdit* TskSkinCustomGrid::CreateEditor() { return new TskSkinInplaceEdit(this); }

String TskSkinCustomGrid::GetEditText(int, int) { return String(); }
String TskSkinCustomGrid::GetEditMask(int, int) { return String(); }

bool TskSkinCustomGrid::CanEditShow() {
  return (FOptions & goEditing) && !(FOptions & goRowSelect) && FEditorMode && !Designing() && HandleAllocated() &&
         ((FOptions & goAlwaysShowEditor) || IsActiveControl());
}

void TskSkinCustomGrid::SetEditorMode(bool Value) {
  if (Value) {
    ShowEditor();
    if (FInplaceEdit) FInplaceEdit->Deselect();
  } else {
    HideEditor();
  }
}

void TskSkinCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEditor();
}

void TskSkinCustomGrid::HideEditor() {
  FEditorMode = false;
  HideEdit();
}

void TskSkinCustomGrid::ShowEditorChar(char Ch) {
  ShowEditor();
  if (FInplaceEdit && FInplaceEdit->HandleAllocated())
    PostMessageA(FInplaceEdit->GetHandle(), WM_CHAR, static_cast<unsigned char>(Ch), 0);
}

void TskSkinCustomGrid::InvalidateEditor() {
  FInplaceCol = -1;
  FInplaceRow = -1;
  UpdateEditor();
}

void TskSkinCustomGrid::UpdateText() {
  if (FInplaceCol != -1 && FInplaceRow != -1 && FInplaceEdit)
    SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->GetText());
}

void TskSkinCustomGrid::HideEdit() {
  if (!FInplaceEdit) return;
  try {
    UpdateText();
  } catch (...) {
    FInplaceCol = -1;
    FInplaceRow = -1;
    FInplaceEdit->Hide();
    throw;
  }
  FInplaceCol = -1;
  FInplaceRow = -1;
  FInplaceEdit->Hide();
}

void TskSkinCustomGrid::UpdateEditor() {
  auto Load = [this]() {
    TskSkinInplaceEdit* E = FInplaceEdit;
    E->SetTransparent((FIndex >= 0 && FSkin.BGPicture) || FTransparent);
    FInplaceCol = FCurrent.X;
    FInplaceRow = FCurrent.Y;
    if (FIndex < 0) {
      E->SetColor(clWindow);
      E->GetFont()->Assign(GetFont());
    } else {
      E->SetColor(FSkin.bgcolor);
      if (FUseSkinFont) {
        E->GetFont()->SetName(FSkin.fontname);
        E->GetFont()->SetColor(FSkin.fontcolor);
        E->GetFont()->SetStyle(FSkin.fontstyle);
        E->GetFont()->SetHeight(FSkin.fontheight);
        E->GetFont()->SetCharset(GetFont()->GetCharset());
      } else {
        E->GetFont()->Assign(GetFont());
        E->GetFont()->SetColor(FSkin.fontcolor);
      }
      if (FSkinData && FSkinData->GetResourceStrData()) E->GetFont()->SetCharset(FSkinData->GetResourceStrData()->CharSet);
      else E->GetFont()->SetCharset(GetFont()->GetCharset());
    }
    E->UpdateContents();
    FCanEditModify = !(E->GetMaxLength() == -1 || GetEditLimit() == -1);
    E->SelectAll();
  };
  if (CanEditShow()) {
    if (!FInplaceEdit) {
      FInplaceEdit = CreateEditor();
      FInplaceEdit->FGrid = this;
      FInplaceEdit->SetParent(this);
      Load();
    } else if (FCurrent.X != FInplaceCol || FCurrent.Y != FInplaceRow) {
      HideEdit();
      Load();
    }
    if (CanEditShow()) FInplaceEdit->UpdateLoc(CellRect(FCurrent.X, FCurrent.Y));
  }
}
