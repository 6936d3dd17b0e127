#include "skin/foundation/SkinObjectRecords.h"

namespace {

// A caption button that maximises, minimises or rolls up, and says so in its hint, restores
// when pressed again: its restore hint becomes "Restore" unless the skin gives one.
void ApplyRestoreHint(const String& Hint, TskButtonCommand Command, String& RestoreHint)
{
  if (!RestoreHint.empty())
    return;
  if ((Hint == "Maximize" && Command == cmMaximize) || (Hint == "Minimize" && Command == cmMinimize) ||
      ((Hint == "RollUp" || Hint == "Roll Up") && Command == cmRollUp))
    RestoreHint = "Restore";
}

// An active image rectangle without area takes the normal one.
void DefaultActiveRect(TRect& Active, const TRect& Normal)
{
  if (Active.right - Active.left <= 0 || Active.bottom - Active.top <= 0)
    Active = Normal;
}

template <typename T>
TskDataSkinObject* Make(const String& Name)
{
  return new T(Name);
}

} // namespace

void TskDataSkinObject::LoadFromFile(TMemIniFile* IniFile)
{
  TskFields fields;
  DescribeFields(fields);
  LoadSkinFields(IniFile, RecordName, fields);
  AfterLoad();
}

void TskDataSkinObject::SaveToFile(TCustomIniFile* IniFile)
{
  IniFile->EraseSection(RecordName);
  TskFields fields;
  DescribeFields(fields);
  SaveSkinFields(IniFile, RecordName, fields);
}

void TskDataSkinObject::DescribeFields(TskFields& Fields)
{
  QV_SKIN_OBJECT_FIELDS(QV_SKIN_DESCRIBE_FIELD)
}

void TskDataUserObject::DescribeFields(TskFields& Fields)
{
  Fields.push_back(SkinField("rollup", &rollup));
  Fields.push_back(SkinField("skinrect", &skinrect));
  Fields.push_back(SkinField("cursorindex", &cursorindex));
}

void TskDataSkinStdButton::AfterLoad()
{
  TskDataSkinButton::AfterLoad();
  ApplyRestoreHint(hint, command, restorehint);
}

void TskDataSkinBitLabel::DescribeFields(TskFields& Fields)
{
  TskDataSkinObject::DescribeFields(Fields);
  QV_SKIN_OBJBITLABEL_FIELDS(QV_SKIN_DESCRIBE_FIELD)
  Fields.push_back(SkinField("symbols", static_cast<TStrings*>(&symbols)));
  Fields.push_back(SkinField("transparent", &transparent));
  Fields.push_back(TskFieldOf<skColor>::Make("transparentcolor", &transparentcolor, 16711935));
}

void TskDataSkinBitLabel::AfterLoad()
{
  TskDataSkinObject::AfterLoad();
  morphing = false;
}

void TskDataSkinTrackBar::AfterLoad()
{
  TskDataSkinObject::AfterLoad();
  morphing = false;
}

void TskDataSkinAnimate::AfterLoad()
{
  TskDataSkinObject::AfterLoad();
  morphing = false;
  ApplyRestoreHint(hint, command, restorehint);
}

void TskDataSkinMenuItem::AfterLoad()
{
  TskDataSkinObject::AfterLoad();
  DefaultActiveRect(activecheckimagerect, checkimagerect);
  DefaultActiveRect(activeradioimagerect, radioimagerect);
  DefaultActiveRect(activearrowimagerect, arrowimagerect);
}

TskDataSkinObject* CreateSkinObjectRecord(const String& Keyword, const String& RecordName)
{
  // In the order the keywords are compared.
  static const struct {
    const char* Keyword;
    TskDataSkinObject* (*Create)(const String&);
  } kinds[] = {
      {"menuitem", Make<TskDataSkinMenuItem>},
      {"mainmenubaritem", Make<TskDataSkinMainMenuBarItem>},
      {"mainmenuitem", Make<TskDataSkinMainMenuItem>},
      {"stdbutton", Make<TskDataSkinStdButton>},
      {"mainmenubarbutton", Make<TskDataSkinMainMenuBarButton>},
      {"button", Make<TskDataSkinButton>},
      {"caption", Make<TskDataSkinCaption>},
      {"trackbar", Make<TskDataSkinTrackBar>},
      {"gauge", Make<TskDataSkinGauge>},
      {"framegauge", Make<TskDataSkinFrameGaugeObject>},
      {"frameregulator", Make<TskDataSkinFrameRegulatorObject>},
      {"label", Make<TskDataSkinLabel>},
      {"bitlabel", Make<TskDataSkinBitLabel>},
      {"switch", Make<TskDataSkinSwitch>},
      {"animate", Make<TskDataSkinAnimate>},
      {"userobject", Make<TskDataUserObject>},
  };
  for (const auto& kind : kinds)
    if (Keyword == kind.Keyword)
      return kind.Create(RecordName);
  return nullptr;
}
