#include "skin/foundation/SkinWindowRecords.h"

void TskDataSkinPopupWindow::LoadFromFile(TMemIniFile* IniFile)
{
  TskFields Fields;
  QV_SKIN_POPUPWINDOW_FIELDS(QV_SKIN_DESCRIBE_FIELD)
  LoadSkinFields(IniFile, "POPUPWINDOW", Fields);
}

void TskDataSkinHintWindow::LoadFromFile(TMemIniFile* IniFile)
{
  TskFields Fields;
  QV_SKIN_HINTWINDOW_FIELDS(QV_SKIN_DESCRIBE_FIELD)
  // The constructor's 12 is only a starting value: a load reads the usual default.
  for (TskField& field : Fields)
    if (String(field.Key) == "fontheight")
      field.IntDefault = 14;
  LoadSkinFields(IniFile, "HINTWINDOW", Fields);
}

void TskDataSkinLayerFrame::LoadFromFile(TMemIniFile* IniFile)
{
  TskFields Fields;
  QV_SKIN_LAYERFRAME_FIELDS(QV_SKIN_DESCRIBE_FIELD)
  LoadSkinFields(IniFile, "LAYERFRAME", Fields);
}
