// The records of a skin's SKINCONTROLS list that are not resizable: the root of every control
// record, the fixed-size records, and the filmstrip records whose picture holds several frames.
#pragma once

#include "skin/foundation/SkinRecordFields.h"

class TskDataSkinControl : public TObject {
public:
  explicit TskDataSkinControl(const String& ARecordName) : RecordName(ARecordName) {}

  // The record's name: its INI section and what the lookups compare.
  String RecordName;
  int pictureindex = -1;
  int maskpictureindex = -1;
  int cursorindex = -1;
  TRect skinrect{};

  // Reads every field from the section named RecordName.
  virtual void LoadFromFile(TMemIniFile* IniFile);
  // Erases the section and writes every field in reading order.
  virtual void SaveToFile(TCustomIniFile* IniFile);
  // The fields the record reads, in reading order (for tools that check skins).
  TskFields GetFields()
  {
    TskFields fields;
    DescribeFields(fields);
    return fields;
  }

protected:
  // The record's fields in reading order; overrides append theirs after the base's.
  virtual void DescribeFields(TskFields& Fields);
  // Adjustments after all keys are read.
  virtual void AfterLoad() {}
};

#define QV_SKIN_BEVEL_FIELDS(X) X(skColor, lightcolor) X(skColor, darkcolor)
class TskDataSkinBevel : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_BEVEL_FIELDS)
};

#define QV_SKIN_SLIDER_FIELDS(X)                                                                                     \
  X(skColor, bgcolor) X(TRect, hrulerrect) X(TRect, hthumbrect) X(TRect, vrulerrect) X(TRect, vthumbrect)             \
      X(int, edgesize) X(skColor, pointscolor)
class TskDataSkinSlider : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_SLIDER_FIELDS)
};

// The tree view, list view and rich edit records share their keys.
#define QV_SKIN_VIEW_FIELDS(X)                                                                                       \
  X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, bgcolor)
class TskDataSkinTreeView : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_VIEW_FIELDS)
};
class TskDataSkinListView : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_VIEW_FIELDS)
};
class TskDataSkinRichEdit : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_VIEW_FIELDS)
};

#define QV_SKIN_STDLABEL_FIELDS(X)                                                                                   \
  X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)                              \
      X(skColor, activefontcolor, 16711680)
class TskDataSkinStdLabelControl : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_STDLABEL_FIELDS)
};

#define QV_SKIN_MAINMENUBAR_FIELDS(X)                                                                                \
  X(TRect, itemsrect) X(String, menubaritem) X(String, closebutton) X(String, minbutton) X(String, maxbutton)         \
      X(String, sysmenubutton) X(skColor, trackmarkcolor) X(skColor, trackmarkactivecolor) X(bool, stretcheffect)      \
          X(bool, itemtransparent)
class TskDataSkinMainMenuBar : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_MAINMENUBAR_FIELDS)
};

#define QV_SKIN_TAB_FIELDS(X)                                                                                        \
  X(TRect, tabrect) X(TRect, activetabrect) X(TRect, focustabrect) X(TRect, mouseintabrect) X(TRect, clientrect)     \
      X(int, bgpictureindex) X(TPoint, lefttoppoint) X(TPoint, righttoppoint) X(TPoint, leftbottompoint)             \
          X(TPoint, rightbottompoint) X(int, tableftoffset) X(int, tabrightoffset) X(TRect, tabsbgrect)              \
              X(bool, tabstretcheffect) X(bool, leftstretch) X(bool, topstretch) X(bool, rightstretch)               \
                  X(bool, bottomstretch) X(bool, stretcheffect) X(TskStretchType, stretchtype) X(String, fontname)   \
                      X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, activefontcolor)   \
                          X(skColor, focusfontcolor) X(skColor, mouseinfontcolor) X(String, updown) X(bool, showfocus) \
                              X(int, focusoffsetx) X(int, focusoffsety) X(TRect, closebuttonrect)                    \
                                  X(TRect, closebuttonactiverect) X(TRect, closebuttondownrect)                      \
                                      X(bool, buttontransparent) X(skColor, buttontransparentcolor)
class TskDataSkinTabControl : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_TAB_FIELDS)
};

#define QV_SKIN_GRID_FIELDS(X)                                                                                       \
  X(TRect, fixedcellrect) X(TRect, selectcellrect) X(TRect, focuscellrect) X(int, fixedcellleftoffset)               \
      X(int, fixedcellrightoffset) X(TRect, fixedcelltextrect) X(int, cellleftoffset) X(int, cellrightoffset)        \
          X(TRect, celltextrect) X(skColor, linescolor) X(skColor, bgcolor) X(int, bgpictureindex) X(String, fontname)  \
              X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, selectfontcolor)           \
                  X(skColor, focusfontcolor) X(String, fixedfontname) X(int, fixedfontheight)                         \
                      X(skFontStyles, fixedfontstyle) X(skColor, fixedfontcolor) X(bool, cellstretcheffect)            \
                          X(bool, fixedcellstretcheffect) X(bool, showfocus)
class TskDataSkinGridControl : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_GRID_FIELDS)
};

// Filmstrip records: the picture holds "framescount" frames of equal size (at least one).
#define QV_SKIN_FRAMECONTROL_FIELDS(X) X(int, framescount, 1) X(TskFramesPlacement, framesplacement)
class TskDataSkinFrameControl : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_FRAMECONTROL_FIELDS)
protected:
  void AfterLoad() override;
};

class TskDataSkinFrameGauge : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
};
class TskDataSkinAnimateControl : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
};
class TskDataSkinSwitchControl : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
};

#define QV_SKIN_FRAMEREGULATOR_FIELDS(X) X(TskRegulatorKind, kind)
class TskDataSkinFrameRegulator : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinFrameControl, QV_SKIN_FRAMEREGULATOR_FIELDS)
};
