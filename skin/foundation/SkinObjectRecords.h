// The records of a skin's SKINOBJECTS list: the parts of a skinned form's frame (caption,
// caption buttons, labels, gauges ...) and the items of skinned menus and of the menu bar.
#pragma once

#include "skin/foundation/SkinRecordFields.h"

#define QV_SKIN_OBJECT_FIELDS(X)                                                                                     \
  X(String, hint) X(bool, rollup) X(int, activepictureindex) X(int, activemaskpictureindex)                          \
      X(bool, skinrectinapicture) X(int, cursorindex) X(TRect, skinrect) X(TRect, activeskinrect)                    \
          X(TRect, inactiveskinrect) X(bool, morphing) X(TskMorphKind, morphkind) X(int, glowlayerpictureindex)      \
              X(int, glowlayermaskpictureindex) X(int, glowlayeroffsetx) X(int, glowlayeroffsety)                    \
                  X(int, glowlayeralphablendvalue, 255)
class TskDataSkinObject : public TObject {
public:
  explicit TskDataSkinObject(const String& ARecordName) : RecordName(ARecordName) {}

  String RecordName;
  QV_SKIN_OBJECT_FIELDS(QV_SKIN_DECLARE_FIELD)

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
  virtual void DescribeFields(TskFields& Fields);
  virtual void AfterLoad() {}
};

// Reads only "rollup", "skinrect" and "cursorindex"; the other fields keep their starting values.
class TskDataUserObject : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;

protected:
  void DescribeFields(TskFields& Fields) override;
};

#define QV_SKIN_OBJBUTTON_FIELDS(X) X(TRect, downrect) X(TRect, disableskinrsect) X(int, groupindex, -1)
class TskDataSkinButton : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJBUTTON_FIELDS)
};

#define QV_SKIN_STDBUTTON_FIELDS(X)                                                                                  \
  X(TskButtonCommand, command) X(TRect, restorerect) X(TRect, restoreactiverect) X(TRect, restoredownrect)           \
      X(TRect, restoreinactiverect) X(String, restorehint)
class TskDataSkinStdButton : public TskDataSkinButton {
public:
  using TskDataSkinButton::TskDataSkinButton;
  QV_SKIN_RECORD_FIELDS(TskDataSkinButton, QV_SKIN_STDBUTTON_FIELDS)
protected:
  void AfterLoad() override;
};

class TskDataSkinMainMenuBarButton : public TskDataSkinStdButton {
public:
  using TskDataSkinStdButton::TskDataSkinStdButton;
};

#define QV_SKIN_CAPTION_FIELDS(X)                                                                                    \
  X(bool, defaultcaption) X(TRect, textrect) X(String, fontname) X(int, fontheight) X(skFontStyles, fontstyle)        \
      X(skColor, fontcolor) X(skColor, activefontcolor) X(TAlignment, alignment) X(bool, shadow)                       \
          X(skColor, shadowcolor) X(bool, light) X(skColor, lightcolor) X(skColor, activelightcolor)                    \
              X(skColor, activeshadowcolor) X(TRect, framerect) X(TRect, activeframerect) X(TRect, frametextrect)     \
                  X(int, frameleftoffset) X(int, framerightoffset) X(bool, stretcheffect) X(TRect, animateskinrect)  \
                      X(int, framecount) X(int, animateinterval, 25) X(bool, inactiveanimation) X(bool, fullframe)   \
                          X(bool, vistagloweffect) X(bool, vistaglowinactiveeffect) X(bool, gloweffect)              \
                              X(bool, glowinactiveeffect) X(int, glowsize, 3) X(skColor, glowcolor)                   \
                                  X(skColor, glowactivecolor) X(int, glowoffset) X(bool, reflectioneffect)            \
                                      X(skColor, reflactioncolor) X(skColor, reflactionactivecolor)                    \
                                          X(int, reflectionoffset)
class TskDataSkinCaption : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_CAPTION_FIELDS)
};

#define QV_SKIN_OBJLABEL_FIELDS(X)                                                                                   \
  X(String, fontName, "Arial") X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor)                     \
      X(skColor, activefontcolor) X(TAlignment, alignment) X(String, textvalue)
class TskDataSkinLabel : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJLABEL_FIELDS)
};

#define QV_SKIN_OBJBITLABEL_FIELDS(X)                                                                                \
  X(String, textvalue) X(int, symbolwidth) X(int, symbolheight)
class TskDataSkinBitLabel : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_OBJBITLABEL_FIELDS(QV_SKIN_DECLARE_FIELD)
  TStringList symbols;
  bool transparent = false;
  TColor transparentcolor = 16711935;

protected:
  void DescribeFields(TskFields& Fields) override;
  void AfterLoad() override;
};

#define QV_SKIN_OBJGAUGE_FIELDS(X) X(int, minvalue) X(int, maxvalue) X(TskGaugeKind, kind)
class TskDataSkinGauge : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJGAUGE_FIELDS)
};

#define QV_SKIN_OBJTRACKBAR_FIELDS(X)                                                                                \
  X(TRect, buttonrect) X(TRect, activebuttonrect) X(TPoint, beginpoint) X(TPoint, endpoint) X(int, minvalue)         \
      X(int, maxvalue) X(bool, mousedownchangevalue) X(bool, buttontransparent) X(skColor, buttontransparentcolor)
class TskDataSkinTrackBar : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJTRACKBAR_FIELDS)
protected:
  void AfterLoad() override;
};

#define QV_SKIN_OBJFRAMEGAUGE_FIELDS(X)                                                                              \
  X(int, minvalue) X(int, maxvalue) X(int, countframes) X(TskFramesPlacement, framesplacement)
class TskDataSkinFrameGaugeObject : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJFRAMEGAUGE_FIELDS)
};

#define QV_SKIN_OBJFRAMEREGULATOR_FIELDS(X)                                                                          \
  X(int, minvalue) X(int, maxvalue) X(int, countframes) X(TskFramesPlacement, framesplacement)                       \
      X(TskRegulatorKind, kind)
class TskDataSkinFrameRegulatorObject : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJFRAMEREGULATOR_FIELDS)
};

class TskDataSkinSwitch : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
};

#define QV_SKIN_OBJANIMATE_FIELDS(X)                                                                                 \
  X(int, countframes, 1) X(bool, cycle) X(bool, buttonstyle) X(int, timerinterval, 50) X(TskButtonCommand, command)  \
      X(TRect, downskinrect) X(TRect, restorerect) X(TRect, restoreactiverect) X(TRect, restoredownrect)             \
          X(TRect, restoreinactiverect) X(String, restorehint)
class TskDataSkinAnimate : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_OBJANIMATE_FIELDS)
protected:
  void AfterLoad() override;
};

#define QV_SKIN_MENUITEM_FIELDS(X)                                                                                   \
  X(int, itemleftoffset) X(int, itemrightoffset) X(TRect, dividerrect) X(int, dividerleftoffset)                     \
      X(int, dividerrightoffset) X(TRect, textrect) X(TRect, imagerect) X(String, fontname) X(int, fontheight)       \
          X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, activefontcolor) X(skColor, unenabledfontcolor)    \
              X(bool, stretcheffect) X(bool, inactivestretcheffect) X(bool, dividerstretcheffect)                    \
                  X(TRect, animateskinrect) X(int, framecount) X(int, animateinterval, 25) X(bool, inactiveanimation) \
                      X(bool, useimagecolor) X(skColor, imagecolor) X(skColor, activeimagecolor)                       \
                          X(bool, inactivetransparent) X(TRect, checkimagerect) X(TRect, activecheckimagerect)       \
                              X(TRect, radioimagerect) X(TRect, activeradioimagerect) X(TRect, arrowimagerect)       \
                                  X(TRect, activearrowimagerect)
class TskDataSkinMenuItem : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_MENUITEM_FIELDS)
protected:
  void AfterLoad() override;
};

#define QV_SKIN_MAINMENUITEM_FIELDS(X)                                                                               \
  X(int, itemleftoffset) X(int, itemrightoffset) X(TRect, downrect) X(TRect, textrect) X(String, fontname)           \
      X(int, fontheight) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(skColor, activefontcolor)                   \
          X(skColor, downfontcolor) X(skColor, unenabledfontColor) X(bool, stretcheffect) X(TRect, animateskinrect)    \
              X(int, framecount) X(int, animateinterval, 25) X(bool, inactiveanimation)
class TskDataSkinMainMenuItem : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
  QV_SKIN_RECORD_FIELDS(TskDataSkinObject, QV_SKIN_MAINMENUITEM_FIELDS)
};

class TskDataSkinMainMenuBarItem : public TskDataSkinMainMenuItem {
public:
  using TskDataSkinMainMenuItem::TskDataSkinMainMenuItem;
};

// The record of a SKINOBJECTS entry for its type keyword, or nullptr for a keyword that names
// none. Keywords compare exactly.
TskDataSkinObject* CreateSkinObjectRecord(const String& Keyword, const String& RecordName);
