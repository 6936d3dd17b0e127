#include "skin/foundation/SkinCustomControlRecords.h"

#include <functional>

void TskDataSkinBitLabelControl::DescribeFields(TskFields& Fields)
{
  TskDataSkinCustomControl::DescribeFields(Fields);
  QV_SKIN_BITLABELCONTROL_FIELDS(QV_SKIN_DESCRIBE_FIELD)
  Fields.push_back(SkinField("symbols", static_cast<TStrings*>(&symbols)));
}

void TskDataSkinUpDownControl::AfterLoad()
{
  TskDataSkinCustomControl::AfterLoad();
  lefttoppoint = TPoint{};
  righttoppoint = TPoint{};
  leftbottompoint = TPoint{};
  rightbottompoint = TPoint{};
  clientrect = TRect{};
}

namespace {

template <typename T>
TskDataSkinControl* Make(const String& Name)
{
  return new T(Name);
}

} // namespace

TskDataSkinControl* CreateSkinControlRecord(const String& Keyword, const String& RecordName)
{
  // In the order the keywords are compared.
  static const struct {
    const char* Keyword;
    TskDataSkinControl* (*Create)(const String&);
  } kinds[] = {
      {"slider", Make<TskDataSkinSlider>},
      {"bevel", Make<TskDataSkinBevel>},
      {"panel", Make<TskDataSkinPanelControl>},
      {"expanel", Make<TskDataSkinExPanelControl>},
      {"menubutton", Make<TskDataSkinMenuButtonControl>},
      {"button", Make<TskDataSkinButtonControl>},
      {"checkradio", Make<TskDataSkinCheckRadioControl>},
      {"gauge", Make<TskDataSkinGaugeControl>},
      {"splitter", Make<TskDataSkinSplitterControl>},
      {"trackbar", Make<TskDataSkinTrackBarControl>},
      {"label", Make<TskDataSkinLabelControl>},
      {"stdlabel", Make<TskDataSkinStdLabelControl>},
      {"bitlabel", Make<TskDataSkinBitLabelControl>},
      {"frameregulator", Make<TskDataSkinFrameRegulator>},
      {"framegauge", Make<TskDataSkinFrameGauge>},
      {"animate", Make<TskDataSkinAnimateControl>},
      {"updown", Make<TskDataSkinUpDownControl>},
      {"switch", Make<TskDataSkinSwitchControl>},
      {"grid", Make<TskDataSkinGridControl>},
      {"tab", Make<TskDataSkinTabControl>},
      {"mainmenubar", Make<TskDataSkinMainMenuBar>},
      {"controlbar", Make<TskDataSkinControlBar>},
      {"memo", Make<TskDataSkinMemoControl>},
      {"edit", Make<TskDataSkinEditControl>},
      {"checklistbox", Make<TskDataSkinCheckListBox>},
      {"listbox", Make<TskDataSkinListBox>},
      {"combobox", Make<TskDataSkinComboBox>},
      {"scrollbar", Make<TskDataSkinScrollBarControl>},
      {"spinedit", Make<TskDataSkinSpinEditControl>},
      {"scrollbox", Make<TskDataSkinScrollBoxControl>},
      {"treeview", Make<TskDataSkinTreeView>},
      {"listview", Make<TskDataSkinListView>},
      {"richedit", Make<TskDataSkinRichEdit>},
  };
  for (const auto& kind : kinds)
    if (Keyword == kind.Keyword)
      return kind.Create(RecordName);
  return nullptr;
}
