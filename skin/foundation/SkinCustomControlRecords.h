// The resizable records of a skin's SKINCONTROLS list: the picture inside "skinrect" is cut by
// four inner corner points into fixed corners, stretched or tiled edges and a client part.
#pragma once

#include "skin/foundation/SkinControlRecords.h"

#define QV_SKIN_CUSTOMCONTROL_FIELDS(X)                                                                              \
  X(TPoint, lefttoppoint) X(TPoint, righttoppoint) X(TPoint, leftbottompoint) X(TPoint, rightbottompoint)            \
      X(TRect, clientrect) X(bool, leftstretch) X(bool, topstretch) X(bool, rightstretch) X(bool, bottomstretch)     \
          X(bool, stretcheffect) X(TskStretchType, stretchtype)
class TskDataSkinCustomControl : public TskDataSkinControl {
public:
  using TskDataSkinControl::TskDataSkinControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinControl, QV_SKIN_CUSTOMCONTROL_FIELDS)
};

#define QV_SKIN_BUTTONCONTROL_FIELDS(X)                                                                              \
  X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, activefontcolor)   \
      X(skColor, disabledfontcolor) X(skColor, downfontcolor) X(bool, morphing) X(TskMorphKind, morphkind)             \
          X(TRect, activeskinrect) X(TRect, downskinrect) X(TRect, focusedskinrect) X(TRect, disabledskinrect)       \
              X(TRect, animateskinrect) X(int, framecount) X(int, animateinterval, 25) X(bool, showfocus)            \
                  X(TRect, menumarkerflatrect) X(TRect, menumarkerrect) X(TRect, menumarkeractiverect)               \
                      X(TRect, menumarkerdownrect) X(skColor, menumarkertransparentcolor)                             \
                          X(int, glowlayerpictureindex) X(int, glowlayermaskpictureindex)                            \
                              X(int, glowlayeroffsetleft) X(int, glowlayeroffsettop) X(int, glowlayeroffsetright)    \
                                  X(int, glowlayeroffsetbottom) X(int, glowlayershowoffsetx)                         \
                                      X(int, glowlayershowoffsety) X(int, glowlayeralphablendvalue, 255)
class TskDataSkinButtonControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_BUTTONCONTROL_FIELDS)
};

#define QV_SKIN_MENUBUTTON_FIELDS(X) X(TRect, trackbuttonrect)
class TskDataSkinMenuButtonControl : public TskDataSkinButtonControl {
public:
  using TskDataSkinButtonControl::TskDataSkinButtonControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinButtonControl, QV_SKIN_MENUBUTTON_FIELDS)
};

#define QV_SKIN_CHECKRADIO_FIELDS(X)                                                                                 \
  X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, activefontcolor)   \
      X(skColor, unenabledfontcolor) X(skColor, framefontcolor) X(bool, morphing) X(TskMorphKind, morphkind)           \
          X(TRect, activeskinrect) X(TRect, checkimagearea) X(TRect, textarea) X(TRect, checkimagerect)              \
              X(TRect, uncheckimagerect) X(TRect, activecheckimagerect) X(TRect, activeuncheckimagerect)             \
                  X(TRect, unenabledcheckimagerect) X(TRect, unenableduncheckimagerect)                              \
                      X(TRect, grayedcheckimagerect) X(TRect, activegrayedcheckimagerect)
class TskDataSkinCheckRadioControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_CHECKRADIO_FIELDS)
};

#define QV_SKIN_LABELCONTROL_FIELDS(X)                                                                               \
  X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)
class TskDataSkinLabelControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_LABELCONTROL_FIELDS)
};

#define QV_SKIN_BITLABELCONTROL_FIELDS(X) X(TRect, skintextrect) X(int, symbolwidth) X(int, symbolheight)
class TskDataSkinBitLabelControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_BITLABELCONTROL_FIELDS(QV_SKIN_DECLARE_FIELD)
  // The symbol lines, appended to by every load.
  TStringList symbols;

protected:
  void DescribeFields(TskFields& Fields) override;
};

#define QV_SKIN_PANELCONTROL_FIELDS(X)                                                                               \
  X(int, bgpictureindex) X(TRect, captionrect) X(TAlignment, alignment) X(String, fontname) X(int, fontheight)       \
      X(skFontStyles, fontstyle) X(skColor, fontcolor) X(TRect, checkimagerect) X(TRect, uncheckimagerect)             \
          X(TRect, markframerect) X(TRect, framerect) X(TRect, frametextrect) X(int, frameleftoffset)                \
              X(int, framerightoffset) X(TRect, gripperrect) X(bool, grippertransparent)                             \
                  X(skColor, grippertransparentcolor)
class TskDataSkinPanelControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_PANELCONTROL_FIELDS)
};

#define QV_SKIN_EXPANELCONTROL_FIELDS(X)                                                                             \
  X(TRect, rollhskinrect) X(TRect, rollvskinrect) X(int, rollleftoffset) X(int, rollrightoffset)                     \
      X(int, rolltopoffset) X(int, rollbottomoffset) X(TRect, rollvcaptionrect) X(TRect, rollhcaptionrect)           \
          X(TRect, closebuttonrect) X(TRect, closebuttonactiverect) X(TRect, closebuttondownrect)                    \
              X(TRect, hrollbuttonrect) X(TRect, hrollbuttonactiverect) X(TRect, hrollbuttondownrect)                \
                  X(TRect, hrestorebuttonrect) X(TRect, hrestorebuttonactiverect) X(TRect, hrestorebuttondownrect)   \
                      X(TRect, vrollbuttonrect) X(TRect, vrollbuttonactiverect) X(TRect, vrollbuttondownrect)        \
                          X(TRect, vrestorebuttonrect) X(TRect, vrestorebuttonactiverect)                            \
                              X(TRect, vrestorebuttondownrect) X(TRect, captionrect) X(String, fontname)             \
                                  X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)                  \
                                      X(bool, buttonstransparent) X(skColor, buttonstransparentcolor)
class TskDataSkinExPanelControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_EXPANELCONTROL_FIELDS)
};

#define QV_SKIN_GAUGECONTROL_FIELDS(X)                                                                               \
  X(TRect, progressarea) X(TRect, progressrect) X(int, beginoffset) X(int, endoffset) X(bool, vertical)              \
      X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)                          \
          X(bool, progresstransparent) X(skColor, progresstransparentcolor) X(bool, progressstretch)                  \
              X(TRect, animationskinrect) X(int, animationcountframes) X(int, animationtimerinterval)                 \
                  X(TRect, progressanimationskinrect) X(int, progressanimationcountframes)                           \
                      X(int, progressanimationtimerinterval) X(int, animationbeginoffset)                            \
                          X(int, animationendoffset)
class TskDataSkinGaugeControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_GAUGECONTROL_FIELDS)
};

#define QV_SKIN_TRACKBARCONTROL_FIELDS(X)                                                                            \
  X(TRect, activeskinrect) X(TRect, trackarea) X(TRect, buttonrect) X(TRect, activebuttonrect) X(bool, vertical)     \
      X(bool, buttontransparent) X(skColor, buttontransparentcolor)
class TskDataSkinTrackBarControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_TRACKBARCONTROL_FIELDS)
};

#define QV_SKIN_SPLITTERCONTROL_FIELDS(X)                                                                            \
  X(TRect, gripperrect) X(bool, grippertransparent) X(skColor, grippertransparentcolor)
class TskDataSkinSplitterControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_SPLITTERCONTROL_FIELDS)
};

#define QV_SKIN_SCROLLBOXCONTROL_FIELDS(X) X(int, bgpictureindex)
class TskDataSkinScrollBoxControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_SCROLLBOXCONTROL_FIELDS)
};

#define QV_SKIN_CONTROLBAR_FIELDS(X)                                                                                 \
  X(TRect, itemrect) X(int, bgpictureindex) X(TRect, hgriprect) X(TRect, vgriprect) X(int, gripoffset1)              \
      X(int, gripoffset2) X(bool, itemstretcheffect) X(int, itemoffset1, 3) X(int, itemoffset2, 3)                   \
          X(bool, itemtransparent) X(skColor, itemtransparentcolor) X(bool, griptransparent)                          \
              X(skColor, griptransparentcolor)
class TskDataSkinControlBar : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_CONTROLBAR_FIELDS)
};

#define QV_SKIN_SCROLLBARCONTROL_FIELDS(X)                                                                           \
  X(TRect, trackarea) X(TRect, upbuttonrect) X(TRect, activeupbuttonrect) X(TRect, downupbuttonrect)                 \
      X(TRect, downbuttonrect) X(TRect, activedownbuttonrect) X(TRect, downdownbuttonrect) X(TRect, thumbrect)       \
          X(TRect, activethumbrect) X(TRect, downthumbrect) X(int, thumboffset1) X(int, thumboffset2)                \
              X(bool, thumbtransparent) X(skColor, thumbtransparentcolor) X(bool, thumbstretcheffect)                 \
                  X(int, thumbminsize) X(int, thumbminpagesize) X(TRect, glyphrect) X(TRect, activeglyphrect)        \
                      X(TRect, downglyphrect) X(bool, glyphtransparent) X(skColor, glyphtransparentcolor)
class TskDataSkinScrollBarControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_SCROLLBARCONTROL_FIELDS)
};

#define QV_SKIN_UPDOWNCONTROL_FIELDS(X)                                                                              \
  X(TRect, upbuttonrect) X(TRect, activeupbuttonrect) X(TRect, downupbuttonrect) X(TRect, downbuttonrect)            \
      X(TRect, activedownbuttonrect) X(TRect, downdownbuttonrect)
// The corner points and the client rectangle of an up-down are always empty, whatever the
// section says.
class TskDataSkinUpDownControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_UPDOWNCONTROL_FIELDS)
protected:
  void AfterLoad() override;
};

#define QV_SKIN_EDITCONTROL_FIELDS(X)                                                                                \
  X(TRect, activeskinrect) X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)     \
      X(skColor, disabledfontcolor) X(skColor, activefontcolor) X(TRect, buttonrect) X(TRect, activebuttonrect)        \
          X(TRect, downbuttonrect) X(TRect, unenabledbuttonrect)
class TskDataSkinEditControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_EDITCONTROL_FIELDS)
};

#define QV_SKIN_MEMOCONTROL_FIELDS(X) X(skColor, bgcolor) X(skColor, activebgcolor)
class TskDataSkinMemoControl : public TskDataSkinEditControl {
public:
  using TskDataSkinEditControl::TskDataSkinEditControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinEditControl, QV_SKIN_MEMOCONTROL_FIELDS)
};

#define QV_SKIN_SPINEDITCONTROL_FIELDS(X)                                                                            \
  X(TRect, activeskinrect) X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)     \
      X(skColor, activefontcolor) X(skColor, disabledfontcolor) X(TRect, upbuttonrect) X(TRect, activeupbuttonrect)    \
          X(TRect, downupbuttonrect) X(TRect, downbuttonrect) X(TRect, activedownbuttonrect)                         \
              X(TRect, downdownbuttonrect)
class TskDataSkinSpinEditControl : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_SPINEDITCONTROL_FIELDS)
};

#define QV_SKIN_COMBOBOX_FIELDS(X)                                                                                   \
  X(TRect, activeskinrect) X(TRect, itemrect) X(TRect, activeitemrect) X(TRect, focusitemrect)                       \
      X(int, itemleftoffset) X(int, itemrightoffset) X(TRect, itemtextrect) X(String, fontname) X(int, fontheight)   \
          X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, focusfontcolor) X(skColor, activefontcolor)        \
              X(String, listboxname) X(TRect, buttonrect) X(TRect, activebuttonrect) X(TRect, downbuttonrect)        \
                  X(TRect, unenabledbuttonrect) X(bool, itemstretcheffect) X(bool, focusitemstretcheffect)           \
                      X(bool, showfocus)
class TskDataSkinComboBox : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_COMBOBOX_FIELDS)
};

#define QV_SKIN_LISTBOX_FIELDS(X)                                                                                    \
  X(TRect, itemrect) X(TRect, activeitemrect) X(TRect, focusitemrect) X(int, itemleftoffset)                         \
      X(int, itemrightoffset) X(TRect, itemtextrect) X(String, fontname) X(int, fontheight)                          \
          X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, activefontcolor) X(skColor, focusfontcolor)        \
              X(TRect, captionrect) X(String, captionfontname) X(int, captionfontheight)                             \
                  X(skFontStyles, captionfontstyle) X(skColor, captionfontcolor) X(TRect, upbuttonrect)                \
                      X(TRect, activeupbuttonrect) X(TRect, downupbuttonrect) X(TRect, downbuttonrect)               \
                          X(TRect, activedownbuttonrect) X(TRect, downdownbuttonrect) X(TRect, checkbuttonrect)      \
                              X(TRect, activecheckbuttonrect) X(TRect, downcheckbuttonrect)                          \
                                  X(String, vscrollbarname, "vscrollbar") X(String, hscrollbarname, "hscrollbar")    \
                                      X(String, bothhscrollbarname, "bothhscrollbar") X(bool, showfocus)             \
                                          X(TRect, disabledbuttonsrect) X(TRect, buttonsarea)
class TskDataSkinListBox : public TskDataSkinCustomControl {
public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  QV_SKIN_RECORD_FIELDS(TskDataSkinCustomControl, QV_SKIN_LISTBOX_FIELDS)
};

#define QV_SKIN_CHECKLISTBOX_FIELDS(X) X(TRect, checkimagerect) X(TRect, itemcheckrect) X(TRect, uncheckimagerect)
class TskDataSkinCheckListBox : public TskDataSkinListBox {
public:
  using TskDataSkinListBox::TskDataSkinListBox;
  QV_SKIN_RECORD_FIELDS(TskDataSkinListBox, QV_SKIN_CHECKLISTBOX_FIELDS)
};

// The record of a SKINCONTROLS entry for its type keyword ("button", "listbox" ...), or nullptr
// for a keyword that names none. Keywords compare exactly.
TskDataSkinControl* CreateSkinControlRecord(const String& Keyword, const String& RecordName);
