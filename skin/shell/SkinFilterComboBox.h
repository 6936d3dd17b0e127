// TskSkinFilterComboBox: a skinned combo box of file-type filters written as description|mask
// pairs ("Video|*.avi;*.mpg|All|*.*"). Choosing one sets the mask of a linked file list box;
// GetMask answers the chosen entry's mask ("*.*" when there is none).
//
// Contract callers rely on:
// - Each description becomes an item; a trailing description without a mask is dropped.
// - After the list is built the first item is selected.
#pragma once

#include "platform/rtl/StringList.h"
#include "skin/input/SkinComboBox.h"

class TskSkinFileListBox;

class TskSkinFilterComboBox : public TskSkinComboBox {
public:
  explicit TskSkinFilterComboBox(TComponent* AOwner);
  ~TskSkinFilterComboBox() override;

  const String& GetFilter() const { return FFilter; }
  void SetFilter(const String& Value);
  TskSkinFileListBox* GetFileList() const { return FFileList; }
  void SetFileList(TskSkinFileListBox* Value);
  String GetMask();
  const TStringList& GetMasks() const { return FMaskList; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Change() override;
  void CreateWnd() override;

private:
  void BuildList();

  String FFilter;
  TskSkinFileListBox* FFileList = nullptr;
  TStringList FMaskList;
};
