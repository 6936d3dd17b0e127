#include "skin/foundation/SkinControlRecords.h"

void TskDataSkinControl::LoadFromFile(TMemIniFile* IniFile)
{
  TskFields fields;
  DescribeFields(fields);
  LoadSkinFields(IniFile, RecordName, fields);
  AfterLoad();
}

void TskDataSkinControl::SaveToFile(TCustomIniFile* IniFile)
{
  IniFile->EraseSection(RecordName);
  TskFields fields;
  DescribeFields(fields);
  SaveSkinFields(IniFile, RecordName, fields);
}

void TskDataSkinControl::DescribeFields(TskFields& Fields)
{
  Fields.push_back(SkinField("pictureindex", &pictureindex));
  Fields.push_back(SkinField("maskpictureindex", &maskpictureindex));
  Fields.push_back(SkinField("cursorindex", &cursorindex));
  Fields.push_back(SkinField("skinrect", &skinrect));
}

void TskDataSkinFrameControl::AfterLoad()
{
  TskDataSkinControl::AfterLoad();
  if (framescount < 1)
    framescount = 1;
}
