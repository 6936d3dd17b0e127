// The skin's areas (named rectangles of the frame picture) and its three single records: the
// frame of skinned popup menus, of the skinned hint window, and the layered border of forms.
// A single record counts as absent while its first picture index is -1.
#pragma once

#include "skin/foundation/SkinRecordFields.h"

class TskDataSkinArea : public TObject {
public:
  TskDataSkinArea(const String& ARecordName, const TRect& AAreaBounds)
      : RecordName(ARecordName), AreaBounds(AAreaBounds)
  {
  }
  String RecordName;
  TRect AreaBounds;
};

#define QV_SKIN_POPUPWINDOW_FIELDS(X)                                                                                \
  X(int, windowpictureindex) X(int, maskpictureindex) X(TPoint, lefttoppoint) X(TPoint, righttoppoint)               \
      X(TPoint, leftbottompoint) X(TPoint, rightbottompoint) X(int, cursorindex) X(TRect, itemsrect)                 \
          X(skColor, scrollmarkercolor) X(skColor, scrollmarkeractivecolor) X(bool, leftstretch)                       \
              X(bool, rightstretch) X(bool, topstretch) X(bool, bottomstretch) X(bool, stretcheffect)                \
                  X(TskStretchType, stretchtype)
class TskDataSkinPopupWindow : public TObject {
public:
  QV_SKIN_POPUPWINDOW_FIELDS(QV_SKIN_DECLARE_FIELD)
  // The fields the record reads, in reading order (for checks of a loaded skin).
  TskFields GetFields()
  {
    TskFields Fields;
    QV_SKIN_POPUPWINDOW_FIELDS(QV_SKIN_DESCRIBE_FIELD)
    return Fields;
  }
  // Reads the POPUPWINDOW section.
  void LoadFromFile(TMemIniFile* IniFile);
};

#define QV_SKIN_HINTWINDOW_FIELDS(X)                                                                                 \
  X(int, windowpictureindex) X(int, maskpictureindex) X(TPoint, lefttoppoint) X(TPoint, righttoppoint)               \
      X(TPoint, leftbottompoint) X(TPoint, rightbottompoint) X(TRect, clientrect) X(String, fontname)                \
          X(int, fontheight, 12) X(skFontStyles, fontstyle) X(skColor, fontcolor) X(bool, leftstretch)                 \
              X(bool, rightstretch) X(bool, topstretch) X(bool, bottomstretch) X(bool, stretcheffect)                \
                  X(TskStretchType, stretchtype)
class TskDataSkinHintWindow : public TObject {
public:
  QV_SKIN_HINTWINDOW_FIELDS(QV_SKIN_DECLARE_FIELD)
  // The fields the record reads, in reading order (for checks of a loaded skin).
  TskFields GetFields()
  {
    TskFields Fields;
    QV_SKIN_HINTWINDOW_FIELDS(QV_SKIN_DESCRIBE_FIELD)
    return Fields;
  }
  // Reads the HINTWINDOW section ("fontheight" then defaults to 14).
  void LoadFromFile(TMemIniFile* IniFile);
};

#define QV_SKIN_LAYERFRAME_FIELDS(X)                                                                                 \
  X(int, pictureindex) X(int, maskpictureindex) X(int, inactivepictureindex) X(int, inactivemaskpictureindex)        \
      X(TPoint, lefttoppoint) X(TPoint, righttoppoint) X(TPoint, leftbottompoint) X(TPoint, rightbottompoint)        \
          X(TRect, clientrect) X(int, alphablendvalue, 255) X(int, inactivealphablendvalue, 255) X(TRect, borderrect) \
              X(bool, hittestenable)
class TskDataSkinLayerFrame : public TObject {
public:
  QV_SKIN_LAYERFRAME_FIELDS(QV_SKIN_DECLARE_FIELD)
  // The fields the record reads, in reading order (for checks of a loaded skin).
  TskFields GetFields()
  {
    TskFields Fields;
    QV_SKIN_LAYERFRAME_FIELDS(QV_SKIN_DESCRIBE_FIELD)
    return Fields;
  }
  // Reads the LAYERFRAME section.
  void LoadFromFile(TMemIniFile* IniFile);
};
