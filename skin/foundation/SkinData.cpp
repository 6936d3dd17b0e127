#include "skin/foundation/SkinData.h"

#include <algorithm>
#include <memory>
#include <new>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/gdi/DibImage.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "skin/foundation/SkinValueCodec.h"

namespace {

std::int32_t ReadInt32(TStream* Stream)
{
  std::uint8_t bytes[4];
  Stream->ReadBuffer(bytes, 4);
  return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                   (static_cast<std::uint32_t>(bytes[3]) << 24));
}

// A frame picture of the payload: a flag byte, 0 when a BMP file follows.
void ReadFramePicture(TStream* Stream, TBitmap* Bitmap, std::int64_t* PictureBudget)
{
  std::uint8_t flag = 1;
  Stream->ReadBuffer(&flag, 1);
  if (flag == 0)
    ReadStoredSkinBitmap(Stream, Bitmap, PictureBudget);
  else
    Bitmap->Assign(nullptr);
}

// "name:rest" split at the first colon; without a colon both parts are empty.
bool SplitEntry(const String& Value, String& Name, String& Rest)
{
  const int colon = Pos(":", Value);
  if (colon == 0) {
    Name.clear();
    Rest.clear();
    return false;
  }
  Name = Copy(Value, 1, colon - 1);
  Rest = Copy(Value, colon + 1, MaxInt);
  return true;
}

template <typename T>
int IndexByName(const std::vector<T*>& List, const String& Name)
{
  for (std::size_t i = 0; i < List.size(); ++i)
    if (List[i]->RecordName == Name)
      return static_cast<int>(i);
  return -1;
}

template <typename T>
void FreeAll(std::vector<T*>& List)
{
  for (T* item : List)
    delete item;
  List.clear();
}

} // namespace

// --- TskSkinColors ---

void TskSkinColors::Reset()
{
  cbtnface = clBtnFace;
  cbtntext = clBtnText;
  cwindow = clWindow;
  cwindowtext = clWindowText;
  chighlight = clHighlight;
  chighlighttext = clHighlightText;
  cbtnhighlight = clBtnHighlight;
  cbtnshadow = clBtnShadow;
  c3dlight = cl3DLight;
  c3ddkshadow = cl3DDkShadow;
}

void TskSkinColors::LoadFromFile(TCustomIniFile* IniFile)
{
  const struct {
    const char* Key;
    TColor* Field;
  } colors[] = {{"cbtnface", &cbtnface},       {"cbtntext", &cbtntext},           {"cwindow", &cwindow},
                {"cwindowtext", &cwindowtext}, {"chighlight", &chighlight},       {"chighlighttext", &chighlighttext},
                {"cbtnhighlight", &cbtnhighlight}, {"cbtnshadow", &cbtnshadow},   {"c3dlight", &c3dlight},
                {"c3ddkshadow", &c3ddkshadow}};
  for (const auto& c : colors)
    *c.Field = static_cast<TColor>(IniFile->ReadInteger("SKINCOLORS", c.Key, 0));
}

// --- TskSkinData ---

TskSkinData::TskSkinData(TComponent* AOwner)
    : TComponent(AOwner), picture(new TBitmap), inactivepicture(new TBitmap), mask(new TBitmap),
      rolluppicture(new TBitmap), rollupmask(new TBitmap), ActivePictureNames(new TStringList),
      PopupWindow(new TskDataSkinPopupWindow), HintWindow(new TskDataSkinHintWindow),
      LayerFrame(new TskDataSkinLayerFrame), SkinColors(new TskSkinColors)
{
}

TskSkinData::~TskSkinData()
{
  Empty = true;
  ClearRecords();
  delete ActivePictureNames;
  delete picture;
  delete inactivepicture;
  delete mask;
  delete rolluppicture;
  delete rollupmask;
  delete PopupWindow;
  delete HintWindow;
  delete LayerFrame;
  delete SkinColors;
}

void TskSkinData::SetShowLayeredBorders(bool Value)
{
  if (Value == FShowLayeredBorders)
    return;
  FShowLayeredBorders = Value;
  if (!Designing() && !(GetComponentState() & csLoading))
    SendSkinDataMessage(LayeredBordersChangedMessage);
}

void TskSkinData::SetSkinnableForm(bool Value)
{
  if (Value == FSkinnableForm)
    return;
  FSkinnableForm = Value;
  if (!Designing() && !(GetComponentState() & csLoading))
    SendSkinDataMessage(SkinnableFormChangedMessage);
}

void TskSkinData::SetCompressedStoredSkin(TskCompressedStoredSkin* Value)
{
  FCompressedStoredSkin = Value;
  if (Value)
    FreeNotification(Value);
  if (!Designing() && Value)
    LoadCompressedStoredSkin(Value);
}

void TskSkinData::SetResourceStrData(TskResourceStrData* Value)
{
  FResourceStrData = Value;
  if (Value)
    FreeNotification(Value);
  if (!Designing())
    SendSkinDataMessage(SkinStringsChangedMessage);
}

void TskSkinData::SetSkinList(TskCompressedSkinList* Value)
{
  FSkinList = Value;
  if (Value)
    FreeNotification(Value);
  if (!Designing() && Value && FSkinIndex >= 0 && FSkinIndex < Value->GetSkins()->GetCount())
    LoadCompressedStoredSkin(Value->GetSkins()->GetItem(FSkinIndex)->StoredSkin());
}

void TskSkinData::SetSkinIndex(int Value)
{
  if (Value == FSkinIndex)
    return;
  if (!FSkinList) {
    FSkinIndex = Value;
    return;
  }
  if (Value < 0 || Value >= FSkinList->GetSkins()->GetCount())
    return;
  FSkinIndex = Value;
  if (!Designing())
    LoadCompressedStoredSkin(FSkinList->GetSkins()->GetItem(Value)->StoredSkin());
}

int TskSkinData::GetControlIndex(const String& Name) const
{
  return IndexByName(ControlList, Name);
}

int TskSkinData::GetObjectIndex(const String& Name) const
{
  return IndexByName(ObjectList, Name);
}

int TskSkinData::GetAreaIndex(const String& Name) const
{
  return IndexByName(AreaList, Name);
}

void TskSkinData::SendSkinDataMessage(UINT Msg)
{
  const WPARAM wParam = reinterpret_cast<WPARAM>(this);
  // Without layered borders the owner form hears it first.
  TCustomForm* ownerForm = nullptr;
  if (!FShowLayeredBorders) {
    if (auto* form = dynamic_cast<TForm*>(GetOwner())) {
      ownerForm = form;
      SendMessage(form->GetHandle(), Msg, wParam, 1000);
    }
  }
  // Every handle is taken before the first message goes out, so that forms made or freed by
  // a handler do not disturb the round.
  std::vector<HWND> handles;
  for (int i = 0; i < Screen->GetFormCount(); ++i) {
    TForm* form = Screen->GetForms(i);
    if (form == ownerForm || form->ClassName() == "TskFormLayerWindow")
      continue;
    handles.push_back(form->GetHandle());
  }
  if (FShowLayeredBorders && LayerFrame->pictureindex != -1)
    std::reverse(handles.begin(), handles.end());
  for (HWND handle : handles)
    if (IsWindow(handle))
      SendMessage(handle, Msg, wParam, 1000);
}

void TskSkinData::LoadCompressedStoredSkin(TskCompressedStoredSkin* AStoredSkin)
{
  if (!AStoredSkin || AStoredSkin->IsEmpty())
    return;
  Empty = true;
  SkinChanging = true;
  SendSkinDataMessage(SkinChangingMessage);
  ClearSkin();
  LoadError.clear();
  try {
    ReadSkin(AStoredSkin);
    Empty = false;
  } catch (const Exception& E) {
    // A damaged skin leaves the default look: nothing half read stays, and the forms hear
    // that the change is over so that they paint again.
    LoadError = E.Message();
    ClearSkin();
  } catch (const std::bad_alloc&) {
    // A skin too large for memory is refused like any damaged one.
    LoadError = "Out of memory";
    ClearSkin();
  }
  SendSkinDataMessage(SkinChangedMessage);
  SkinChanging = false;
  SendSkinDataMessage(SkinAfterChangeMessage);
}

void TskSkinData::ReadSkin(TskCompressedStoredSkin* AStoredSkin)
{
  TMemoryStream payload;
  AStoredSkin->DecompressToStream(&payload);
  payload.SetPosition(0);
  const std::int32_t version = ReadInt32(&payload);
  if (version > StoredSkinMaxVersion)
    throw EReadError(Format("Unsupported skin version %d", {version}));

  std::int64_t budget = StoredSkinMaxPictureBytes;
  ReadFramePicture(&payload, picture, &budget);
  if (version == 2 || version == 3)
    ReadFramePicture(&payload, inactivepicture, &budget);
  ReadFramePicture(&payload, mask, &budget);
  if (version == 1 || version == 2) {
    ReadFramePicture(&payload, rolluppicture, &budget);
    ReadFramePicture(&payload, rollupmask, &budget);
  }
  // A frame's mask and inactive picture lie over the frame picture pixel for pixel.
  const auto sameSize = [](TBitmap* A, TBitmap* B, const char* What) {
    if (!A->Empty() && !B->Empty() && (A->GetWidth() != B->GetWidth() || A->GetHeight() != B->GetHeight()))
      throw EReadError(Format("The %s is %dx%d, its picture %dx%d",
                              {What, A->GetWidth(), A->GetHeight(), B->GetWidth(), B->GetHeight()}));
  };
  sameSize(mask, picture, "frame mask");
  sameSize(inactivepicture, picture, "inactive frame picture");
  sameSize(rollupmask, rolluppicture, "rolled-up frame mask");
  const std::int32_t count = ReadInt32(&payload);
  for (std::int32_t i = 0; i < count; ++i) {
    auto* bitmap = new TBitmap;
    ActivePictures.push_back(bitmap);
    ReadStoredSkinBitmap(&payload, bitmap, &budget);
  }

  String text(static_cast<std::size_t>(payload.GetSize() - payload.GetPosition()), '\0');
  if (!text.empty())
    payload.ReadBuffer(text.data(), static_cast<Int64>(text.size()));
  TStringList lines;
  lines.SetText(text);
  TMemIniFile ini("");
  ini.SetStrings(&lines);

  skinname = ini.ReadString("VERSION", "skinname", "");
  skinauthor = ini.ReadString("VERSION", "skinauthor", "");
  authoremail = ini.ReadString("VERSION", "authoremail", "");
  authorurl = ini.ReadString("VERSION", "authorurl", "");
  skincomments = ini.ReadString("VERSION", "skincomments", "");
  picturename = ini.ReadString("PICTURES", "picture", "");
  maskname = ini.ReadString("PICTURES", "mask", "");
  rolluppicturename = ini.ReadString("PICTURES", "rolluppicture", "");
  rollupmaskname = ini.ReadString("PICTURES", "rollupmask", "");
  ReadStrings(&ini, "PICTURES", "activepictures", ActivePictureNames);
  LoadFormInfo(&ini);
  PopupWindow->LoadFromFile(&ini);
  LayerFrame->LoadFromFile(&ini);
  HintWindow->LoadFromFile(&ini);
  SkinColors->LoadFromFile(&ini);
  LoadSkinAreas(&ini);
  LoadSkinObjects(&ini);
  LoadSkinControls(&ini);
  CheckPictureIndexes();
  CheckGeometry();
}

void TskSkinData::CheckGeometry()
{
  // Points and rectangles are places in pictures, which are never larger than MaxDibDimension
  // either way; larger numbers only overflow the arithmetic of the image builders.
  const auto checkPoint = [](const TPoint& P, const String& Where) {
    if (P.x > MaxDibDimension || P.y > MaxDibDimension)
      throw EReadError(Format("A point or rectangle of %s lies beyond any picture", {Where}));
  };
  const auto checkRect = [&](const TRect& R, const String& Where) {
    checkPoint(TPoint{R.left, R.top}, Where);
    checkPoint(TPoint{R.right, R.bottom}, Where);
  };
  const auto checkFields = [&](const TskFields& Fields, const String& Where) {
    for (const TskField& field : Fields) {
      if (const auto* rect = std::get_if<TRect*>(&field.Target))
        checkRect(**rect, Where);
      else if (const auto* point = std::get_if<TPoint*>(&field.Target))
        checkPoint(**point, Where);
    }
  };
  for (const TPoint& p : {lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint, hittestlefttoppoint,
                          hittestrighttoppoint, hittestleftbottompoint, hittestrightbottompoint, rollupleftpoint,
                          rolluprightpoint})
    checkPoint(p, "FORMINFO");
  for (const TRect& r : {clientrect, buttonsrect, captionrect, maskrectarea, mainmenurect, iconrect, sizegriparea})
    checkRect(r, "FORMINFO");
  checkFields(PopupWindow->GetFields(), "POPUPWINDOW");
  checkFields(HintWindow->GetFields(), "HINTWINDOW");
  checkFields(LayerFrame->GetFields(), "LAYERFRAME");
  for (TskDataSkinArea* area : AreaList)
    checkRect(area->AreaBounds, area->RecordName);
  for (TskDataSkinObject* record : ObjectList)
    checkFields(record->GetFields(), record->RecordName);
  for (TskDataSkinControl* record : ControlList)
    checkFields(record->GetFields(), record->RecordName);
}

void TskSkinData::CheckPictureIndexes()
{
  // Controls and forms index ActivePictures with these numbers unchecked: a skin that points
  // past its pictures is refused as a whole.
  const int count = static_cast<int>(ActivePictures.size());
  const auto check = [count](int Index, const String& Where) {
    if (Index < -1 || Index >= count)
      throw EReadError(Format("Picture index %d of %s is out of range", {Index, Where}));
  };
  const auto checkFields = [&](const TskFields& Fields, const String& Where) {
    for (const TskField& field : Fields) {
      const String key = LowerCase(field.Key);
      if (key.size() >= 12 && key.compare(key.size() - 12, 12, "pictureindex") == 0)
        if (const auto* value = std::get_if<int*>(&field.Target))
          check(**value, Where);
    }
  };
  check(bgpictureindex, "FORMINFO");
  check(mdibgpictureindex, "FORMINFO");
  check(PopupWindow->windowpictureindex, "POPUPWINDOW");
  check(PopupWindow->maskpictureindex, "POPUPWINDOW");
  check(HintWindow->windowpictureindex, "HINTWINDOW");
  check(HintWindow->maskpictureindex, "HINTWINDOW");
  for (int index : {LayerFrame->pictureindex, LayerFrame->maskpictureindex, LayerFrame->inactivepictureindex,
                    LayerFrame->inactivemaskpictureindex})
    check(index, "LAYERFRAME");
  for (TskDataSkinObject* record : ObjectList)
    checkFields(record->GetFields(), record->RecordName);
  for (TskDataSkinControl* record : ControlList)
    checkFields(record->GetFields(), record->RecordName);
}

void TskSkinData::ClearSkin()
{
  ClearRecords();
  picture->Assign(nullptr);
  inactivepicture->Assign(nullptr);
  mask->Assign(nullptr);
  rolluppicture->Assign(nullptr);
  rollupmask->Assign(nullptr);
  picturename.clear();
  maskname.clear();
  rolluppicturename.clear();
  rollupmaskname.clear();
  Empty = true;
}

void TskSkinData::ClearRecords()
{
  FreeAll(AreaList);
  FreeAll(ObjectList);
  FreeAll(ControlList);
  FreeAll(ActivePictures);
  PopupWindow->windowpictureindex = -1;
  HintWindow->windowpictureindex = -1;
  LayerFrame->pictureindex = -1;
  ActivePictureNames->Clear();
  SkinColors->Reset();
}

void TskSkinData::LoadFormInfo(TMemIniFile* IniFile)
{
  const String s = "FORMINFO";
  lefttoppoint = ReadPoint(IniFile, s, "lefttoppoint");
  righttoppoint = ReadPoint(IniFile, s, "righttoppoint");
  leftbottompoint = ReadPoint(IniFile, s, "leftbottompoint");
  rightbottompoint = ReadPoint(IniFile, s, "rightbottompoint");
  clientrect = ReadRect(IniFile, s, "clientrect");
  bgpictureindex = IniFile->ReadInteger(s, "bgpictureindex", -1);
  mdibgpictureindex = IniFile->ReadInteger(s, "mdibgpictureindex", -1);
  leftstretch = ReadBoolean(IniFile, s, "leftstretch");
  rightstretch = ReadBoolean(IniFile, s, "rightstretch");
  topstretch = ReadBoolean(IniFile, s, "topstretch");
  bottomstretch = ReadBoolean(IniFile, s, "bottomstretch");
  stretcheffect = ReadBoolean(IniFile, s, "stretcheffect");
  stretchtype = ReadStretchType(IniFile, s, "stretchtype");
  mdibgstretcheffect = ReadBoolean(IniFile, s, "mdibgstretcheffect");
  mdibgstretchtype = ReadStretchType(IniFile, s, "mdibgstretchtype");
  buttonsrect = ReadRect(IniFile, s, "buttonsrect");
  captionrect = ReadRect(IniFile, s, "captionrect");
  buttonsoffset = IniFile->ReadInteger(s, "buttonsoffset", 0);
  buttonsinleft = ReadBoolean(IniFile, s, "buttonsinleft");
  maskrectarea = ReadRect(IniFile, s, "maskrectarea");
  hittestlefttoppoint = ReadPoint(IniFile, s, "hittestlefttoppoint");
  hittestrighttoppoint = ReadPoint(IniFile, s, "hittestrighttoppoint");
  hittestleftbottompoint = ReadPoint(IniFile, s, "hittestleftbottompoint");
  hittestrightbottompoint = ReadPoint(IniFile, s, "hittestrightbottompoint");
  rollupleftpoint = ReadPoint(IniFile, s, "rollupleftpoint");
  rolluprightpoint = ReadPoint(IniFile, s, "rolluprightpoint");

  if (!maskname.empty()) {
    // The mask covers at least the client part.
    if (maskrectarea.right - maskrectarea.left <= 0 || maskrectarea.bottom - maskrectarea.top <= 0) {
      maskrectarea = clientrect;
    } else {
      maskrectarea.left = std::min(maskrectarea.left, clientrect.left);
      maskrectarea.top = std::min(maskrectarea.top, clientrect.top);
      maskrectarea.right = std::max(maskrectarea.right, clientrect.right);
      maskrectarea.bottom = std::max(maskrectarea.bottom, clientrect.bottom);
    }
    // Hit-test points left out take the corner points.
    const auto fill = [](TPoint& HitTest, const TPoint& Corner) {
      if (HitTest.x == 0 || HitTest.y == 0)
        HitTest = Corner;
    };
    fill(hittestlefttoppoint, lefttoppoint);
    fill(hittestrighttoppoint, righttoppoint);
    fill(hittestleftbottompoint, leftbottompoint);
    fill(hittestrightbottompoint, rightbottompoint);
  }

  mainmenurect = ReadRect(IniFile, s, "mainmenurect");
  iconrect = ReadRect(IniFile, s, "iconrect");
  mainmenupopupup = ReadBoolean(IniFile, s, "mainmenupopupup");
  borderwidth = IniFile->ReadInteger(s, "borderwidth", 0);
  formminwidth = IniFile->ReadInteger(s, "formminwidth", 0);
  mditabstransparent = ReadBoolean(IniFile, s, "mditabstransparent");
  mainmenubartransparent = ReadBoolean(IniFile, s, "mainmenubartransparent");
  cursorindex = IniFile->ReadInteger(s, "cursorindex", -1);
  autorenderinginactiveimage = ReadBoolean(IniFile, s, "autorenderinginactiveimage");
  inactiveeffect = ReadInactiveEffect(IniFile, s, "inactiveeffect");

  // Corner points are pulled into the client part, unless the skin gives none.
  if (rightbottompoint.x != lefttoppoint.x && rightbottompoint.y != lefttoppoint.y) {
    lefttoppoint.x = std::max(lefttoppoint.x, clientrect.left);
    lefttoppoint.y = std::max(lefttoppoint.y, clientrect.top);
    righttoppoint.x = std::min(righttoppoint.x, clientrect.right);
    righttoppoint.y = std::max(righttoppoint.y, clientrect.top);
    leftbottompoint.x = std::max(leftbottompoint.x, clientrect.left);
    leftbottompoint.y = std::min(leftbottompoint.y, clientrect.bottom);
    rightbottompoint.x = std::min(rightbottompoint.x, clientrect.right);
    rightbottompoint.y = std::min(rightbottompoint.y, clientrect.bottom);
  }

  sizegriparea = ReadRect(IniFile, s, "sizegriparea");
  statusbarname = IniFile->ReadString(s, "statusbarname", "");
}

void TskSkinData::AddArea(const String& Name, const TRect& Bounds)
{
  AreaList.push_back(new TskDataSkinArea(Name, Bounds));
}

void TskSkinData::LoadSkinAreas(TMemIniFile* IniFile)
{
  const int count = IniFile->ReadInteger("SKINAREAS", "count", 0);
  CheckSkinListCount(IniFile, "SKINAREAS", "count", count);
  for (int i = 0; i < count; ++i) {
    String name, rect;
    if (SplitEntry(IniFile->ReadString("SKINAREAS", IntToStr(i), ""), name, rect))
      AddArea(name, ParseRect(rect));
    else
      AddArea(name, TRect{});
  }
}

namespace {

// Reads a record list ("count" and the entries "name:kind"): each entry whose kind Create knows
// becomes a record that reads its own section; the others are skipped.
template <typename T>
void LoadRecordList(TMemIniFile* IniFile, const String& Section, T* (*Create)(const String&, const String&),
                    std::vector<T*>& List)
{
  const int count = IniFile->ReadInteger(Section, "count", 0);
  CheckSkinListCount(IniFile, Section, "count", count);
  for (int i = 0; i < count; ++i) {
    String name, keyword;
    SplitEntry(IniFile->ReadString(Section, IntToStr(i), ""), name, keyword);
    if (T* record = Create(keyword, name)) {
      List.push_back(record);
      record->LoadFromFile(IniFile);
    }
  }
}

} // namespace

void TskSkinData::LoadSkinObjects(TMemIniFile* IniFile)
{
  LoadRecordList(IniFile, "SKINOBJECTS", CreateSkinObjectRecord, ObjectList);
}

void TskSkinData::LoadSkinControls(TMemIniFile* IniFile)
{
  LoadRecordList(IniFile, "SKINCONTROLS", CreateSkinControlRecord, ControlList);
}

void TskSkinData::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FCompressedStoredSkin)
    FCompressedStoredSkin = nullptr;
  if (AComponent == FResourceStrData)
    FResourceStrData = nullptr;
  if (AComponent == FSkinList)
    FSkinList = nullptr;
}
