// The component that holds one loaded skin: frame pictures and mask, the active pictures, the
// frame geometry of FORMINFO, the popup, hint and layer-frame records, ten colours and the
// named area, object and control records. Skinned controls find their record by name in it;
// skinned forms take their frame from it. It loads from a stored skin and tells every form
// about the change by window messages.
#pragma once

#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/GraphicsObjects.h"
#include "skin/foundation/CompressedStoredSkin.h"
#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinIniLayout.h"
#include "skin/foundation/SkinObjectRecords.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinWindowRecords.h"

// The messages the skin data sends to every form (WParam = the skin data, LParam = 1000).
constexpr UINT SkinChangingMessage = 1225;
constexpr UINT SkinChangedMessage = 1226;
constexpr UINT SkinAfterChangeMessage = 1227;
constexpr UINT SkinStringsChangedMessage = 1274;
constexpr UINT SkinnableFormChangedMessage = 1294;
constexpr UINT LayeredBordersChangedMessage = 1427;

class TskSkinColors : public TObject {
public:
  TColor cbtnface = 0;
  TColor cbtntext = 0;
  TColor cwindow = 0;
  TColor cwindowtext = 0;
  TColor chighlight = 0;
  TColor chighlighttext = 0;
  TColor cbtnhighlight = 0;
  TColor cbtnshadow = 0;
  TColor c3dlight = 0;
  TColor c3ddkshadow = 0;

  // The system colours.
  void Reset();
  // Each colour from SKINCOLORS; a missing key gives black.
  void LoadFromFile(TCustomIniFile* IniFile);
};

class TskSkinData : public TComponent {
public:
  explicit TskSkinData(TComponent* AOwner);
  ~TskSkinData() override;

  // Switches read by the skinned forms and controls.
  bool AnimationForAllWindows = false;
  bool EnableSkinEffects = true;
  bool ShowButtonGlowFrames = true;
  bool ShowCaptionButtonGlowFrames = true;
  bool GetShowLayeredBorders() const { return FShowLayeredBorders; }
  void SetShowLayeredBorders(bool Value);
  bool GetSkinnableForm() const { return FSkinnableForm; }
  void SetSkinnableForm(bool Value);

  TskCompressedStoredSkin* GetCompressedStoredSkin() const { return FCompressedStoredSkin; }
  // Stores the value and (unless designing) loads it; the same stored skin loads again.
  void SetCompressedStoredSkin(TskCompressedStoredSkin* Value);
  TskResourceStrData* GetResourceStrData() const { return FResourceStrData; }
  void SetResourceStrData(TskResourceStrData* Value);
  TskCompressedSkinList* GetSkinList() const { return FSkinList; }
  void SetSkinList(TskCompressedSkinList* Value);
  int GetSkinIndex() const { return FSkinIndex; }
  void SetSkinIndex(int Value);

  // True while no skin is loaded; controls then draw their default look.
  bool Empty = true;
  // True while a load runs; a form does not repaint its frame meanwhile.
  bool SkinChanging = false;
  // The text of the error that made the last load fail (the skin is then empty); empty after
  // a load that succeeded.
  String LoadError;

  TBitmap* picture;
  TBitmap* inactivepicture;
  TBitmap* mask;
  TBitmap* rolluppicture;
  TBitmap* rollupmask;
  String picturename;
  String maskname;
  String rolluppicturename;
  String rollupmaskname;
  // The further pictures that the records' picture indexes point into; owned.
  std::vector<TBitmap*> ActivePictures;
  TStringList* ActivePictureNames;
  // The records, in the order of their lists; owned.
  std::vector<TskDataSkinArea*> AreaList;
  std::vector<TskDataSkinObject*> ObjectList;
  std::vector<TskDataSkinControl*> ControlList;
  TskDataSkinPopupWindow* PopupWindow;
  TskDataSkinHintWindow* HintWindow;
  TskDataSkinLayerFrame* LayerFrame;
  TskSkinColors* SkinColors;

  String skinname;
  String skinauthor;
  String authoremail;
  String authorurl;
  String skincomments;

  // FORMINFO.
  TPoint lefttoppoint{};
  TPoint righttoppoint{};
  TPoint leftbottompoint{};
  TPoint rightbottompoint{};
  TRect clientrect{};
  int bgpictureindex = -1;
  int mdibgpictureindex = -1;
  bool leftstretch = false;
  bool rightstretch = false;
  bool topstretch = false;
  bool bottomstretch = false;
  bool stretcheffect = false;
  TskStretchType stretchtype = stFull;
  bool mdibgstretcheffect = false;
  TskStretchType mdibgstretchtype = stFull;
  TRect buttonsrect{};
  TRect captionrect{};
  int buttonsoffset = 0;
  bool buttonsinleft = false;
  TRect maskrectarea{};
  TPoint hittestlefttoppoint{};
  TPoint hittestrighttoppoint{};
  TPoint hittestleftbottompoint{};
  TPoint hittestrightbottompoint{};
  TPoint rollupleftpoint{};
  TPoint rolluprightpoint{};
  TRect mainmenurect{};
  TRect iconrect{};
  bool mainmenupopupup = false;
  int borderwidth = 0;
  int formminwidth = 0;
  bool mditabstransparent = false;
  bool mainmenubartransparent = false;
  int cursorindex = -1;
  bool autorenderinginactiveimage = false;
  TskInactiveEffect inactiveeffect = ieBrightness;
  TRect sizegriparea{};
  String statusbarname;

  // A record or FORMINFO cursor index c other than -1 is the cursor StartCursorIndex + c.
  const int StartCursorIndex = 1;

  // The index of the first record named exactly Name (case-sensitive), or -1.
  int GetControlIndex(const String& Name) const;
  int GetObjectIndex(const String& Name) const;
  int GetAreaIndex(const String& Name) const;

  // Sends Msg to every form (see the .cpp for the order); returns after all handled it.
  void SendSkinDataMessage(UINT Msg);
  void LoadCompressedStoredSkin(TskCompressedStoredSkin* AStoredSkin);
  void ClearSkin();
  void ClearRecords();

  void LoadFormInfo(TMemIniFile* IniFile);
  void LoadSkinAreas(TMemIniFile* IniFile);
  void LoadSkinObjects(TMemIniFile* IniFile);
  void LoadSkinControls(TMemIniFile* IniFile);
  void AddArea(const String& Name, const TRect& Bounds);

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ReadSkin(TskCompressedStoredSkin* AStoredSkin);
  // Raises EReadError when a picture index of the skin lies outside its active pictures.
  void CheckPictureIndexes();
  // Raises EReadError when a point or rectangle of the skin lies beyond any picture's size.
  void CheckGeometry();
  bool Designing() const { return (GetComponentState() & csDesigning) != 0; }

  bool FShowLayeredBorders = true;
  bool FSkinnableForm = true;
  TskCompressedStoredSkin* FCompressedStoredSkin = nullptr;
  TskResourceStrData* FResourceStrData = nullptr;
  TskCompressedSkinList* FSkinList = nullptr;
  int FSkinIndex = 0;
};
