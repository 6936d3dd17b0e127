#include "tools/mkskin/SkinChecker.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinIniLayout.h"
#include "skin/foundation/SkinObjectRecords.h"
#include "skin/foundation/SkinWindowRecords.h"
#include "skin/foundation/ZCompress.h"

namespace {

#define QV_SKIN_KEY_NAME(Kind, Name, ...) #Name,

// Keys of the sections that the skin data reads itself (records read their own, by their fields).
const std::map<String, std::vector<const char*>>& FixedSectionKeys()
{
  static const std::map<String, std::vector<const char*>> keys = {
      {"version", {"skinname", "skinauthor", "authoremail", "authorurl", "skincomments", "ver"}},
      {"pictures", {"picture", "inactivepicture", "mask", "rolluppicture", "rollupmask", "activepicturescount"}},
      {"forminfo",
       {"lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint", "clientrect", "bgpictureindex",
        "mdibgpictureindex", "leftstretch", "rightstretch", "topstretch", "bottomstretch", "stretcheffect",
        "stretchtype", "mdibgstretcheffect", "mdibgstretchtype", "buttonsrect", "captionrect", "buttonsoffset",
        "buttonsinleft", "maskrectarea", "hittestlefttoppoint", "hittestrighttoppoint", "hittestleftbottompoint",
        "hittestrightbottompoint", "rollupleftpoint", "rolluprightpoint", "mainmenurect", "iconrect",
        "mainmenupopupup", "borderwidth", "formminwidth", "mditabstransparent", "mainmenubartransparent",
        "cursorindex", "autorenderinginactiveimage", "inactiveeffect", "sizegriparea", "statusbarname"}},
      {"popupwindow", {QV_SKIN_POPUPWINDOW_FIELDS(QV_SKIN_KEY_NAME)}},
      {"hintwindow", {QV_SKIN_HINTWINDOW_FIELDS(QV_SKIN_KEY_NAME)}},
      {"layerframe", {QV_SKIN_LAYERFRAME_FIELDS(QV_SKIN_KEY_NAME)}},
      {"skincolors",
       {"cbtnface", "cbtntext", "cwindow", "cwindowtext", "chighlight", "chighlighttext", "cbtnhighlight",
        "cbtnshadow", "c3dlight", "c3ddkshadow"}},
      {"skinareas", {"count"}},
      {"skinobjects", {"count"}},
      {"skincontrols", {"count"}},
  };
  return keys;
}

#undef QV_SKIN_KEY_NAME

// A 1x1 picture standing in for an active picture when only the skin text is at hand.
void WriteStandInPicture(TStream* Stream)
{
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(1, 1);
  bitmap.SaveToStream(Stream);
}

void WriteInt32(TStream* Stream, std::int32_t Value)
{
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(Value) >> (8 * i));
  Stream->WriteBuffer(bytes, 4);
}

struct TRecordEntry {
  String Keyword;
  bool Object;
};

class TChecker {
public:
  TChecker(TMemIniFile* IniFile, int PictureCount) : FIni(IniFile), FPictureCount(PictureCount) {}

  void Problem(const String& Section, const String& Key, const String& Text)
  {
    Problems.push_back("[" + Section + "] " + (Key.empty() ? String() : Key + ": ") + Text);
  }

  bool HasKey(const String& Section, const String& Key)
  {
    const String marker = "\x01";
    return FIni->ReadString(Section, Key, marker) != marker;
  }

  // A point or rectangle: present means digits in Fields comma-separated fields, no sign.
  void CheckGeometry(const String& Section, const String& Key, int Fields)
  {
    if (!HasKey(Section, Key))
      return;
    const String value = FIni->ReadString(Section, Key, "");
    if (Trim(value).empty()) {
      Problem(Section, Key, "empty value (the loader stops at it)");
      return;
    }
    if (Pos("-", value) > 0) {
      Problem(Section, Key, "negative number (the loader drops the sign)");
      return;
    }
    int fields = 1;
    bool digits = false;
    for (char c : value) {
      if (c == ',') {
        if (!digits) {
          Problem(Section, Key, "a field without digits");
          return;
        }
        ++fields;
        digits = false;
      } else if (c >= '0' && c <= '9') {
        digits = true;
      } else if (c != ' ') {
        Problem(Section, Key, "unexpected character '" + String(1, c) + "'");
        return;
      }
    }
    if (!digits || fields != Fields)
      Problem(Section, Key, Format("needs %d numbers", {Fields}));
  }

  void CheckPictureIndex(const String& Section, const String& Key)
  {
    if (!HasKey(Section, Key))
      return;
    int value = 0;
    if (!TryStrToInt(Trim(FIni->ReadString(Section, Key, "")), value)) {
      Problem(Section, Key, "not a whole number");
      return;
    }
    if (value < -1 || value >= FPictureCount)
      Problem(Section, Key, Format("picture index %d outside 0..%d", {value, FPictureCount - 1}));
  }

  // Keys of a section by their names: *rect, *point, *area are geometry, *pictureindex indexes.
  void CheckSectionBySuffix(const String& Section)
  {
    TStringList keys;
    FIni->ReadSection(Section, &keys);
    for (int i = 0; i < keys.GetCount(); ++i) {
      const String key = LowerCase(keys.Get(i));
      if (EndsWith(key, "point"))
        CheckGeometry(Section, key, 2);
      else if (EndsWith(key, "rect") || EndsWith(key, "area") || EndsWith(key, "rsect"))
        CheckGeometry(Section, key, 4);
      else if (EndsWith(key, "pictureindex"))
        CheckPictureIndex(Section, key);
    }
  }

  template <typename Record>
  void CheckRecordFields(Record* RecordObject)
  {
    for (const TskField& field : RecordObject->GetFields()) {
      const String key = field.Key;
      if (std::holds_alternative<TRect*>(field.Target))
        CheckGeometry(RecordObject->RecordName, key, 4);
      else if (std::holds_alternative<TPoint*>(field.Target))
        CheckGeometry(RecordObject->RecordName, key, 2);
      else if (EndsWith(LowerCase(key), "pictureindex"))
        CheckPictureIndex(RecordObject->RecordName, key);
    }
  }

  void CheckList(const String& ListSection, bool Objects)
  {
    const int count = FIni->ReadInteger(ListSection, "count", 0);
    if (count < 1)
      Problem(ListSection, "count", "no records");
    for (int i = 0; i < count; ++i) {
      const String key = IntToStr(i);
      const String value = FIni->ReadString(ListSection, key, "");
      const int colon = Pos(":", value);
      if (colon <= 1) {
        Problem(ListSection, key, "needs name:kind");
        continue;
      }
      const String name = Copy(value, 1, colon - 1);
      const String keyword = Copy(value, colon + 1, MaxInt);
      if (Records.count(name))
        Problem(ListSection, key, "record " + name + " listed twice (only the first is found)");
      if (!FIni->SectionExists(name))
        Problem(ListSection, key, "record " + name + " has no section");
      if (Objects) {
        std::unique_ptr<TskDataSkinObject> record(CreateSkinObjectRecord(keyword, name));
        if (!record) {
          Problem(ListSection, key, "unknown object kind '" + keyword + "'");
          continue;
        }
        CheckRecordFields(record.get());
      } else {
        std::unique_ptr<TskDataSkinControl> record(CreateSkinControlRecord(keyword, name));
        if (!record) {
          Problem(ListSection, key, "unknown control kind '" + keyword + "'");
          continue;
        }
        CheckRecordFields(record.get());
      }
      Records.emplace(name, TRecordEntry{keyword, Objects});
    }
  }

  // A key of Section that names another record must name one of the given kinds.
  void CheckReference(const String& Section, const String& Key, bool Object,
                      std::initializer_list<const char*> Keywords, bool Optional, const String& Default = "")
  {
    const String name = FIni->ReadString(Section, Key, Default);
    if (name.empty()) {
      if (!Optional)
        Problem(Section, Key, "names no record");
      return;
    }
    const auto found = Records.find(name);
    if (found == Records.end() || found->second.Object != Object) {
      Problem(Section, Key, "names the missing record " + name);
      return;
    }
    for (const char* keyword : Keywords)
      if (found->second.Keyword == keyword)
        return;
    Problem(Section, Key, "names " + name + " of the wrong kind " + found->second.Keyword);
  }

  void CheckReferences()
  {
    for (const auto& [name, entry] : Records) {
      if (entry.Object)
        continue;
      const String& k = entry.Keyword;
      if (k == "combobox")
        CheckReference(name, "listboxname", false, {"listbox", "checklistbox"}, false);
      else if (k == "tab")
        CheckReference(name, "updown", false, {"updown"}, true);
      else if (k == "mainmenubar") {
        CheckReference(name, "menubaritem", true, {"mainmenubaritem"}, false);
        for (const char* key : {"closebutton", "minbutton", "maxbutton", "sysmenubutton"})
          CheckReference(name, key, true, {"mainmenubarbutton"}, true);
      } else if (k == "listbox" || k == "checklistbox") {
        // An absent key means the default name, which must then exist as well.
        for (const char* key : {"vscrollbarname", "hscrollbarname", "bothhscrollbarname"}) {
          const String defaultName = String(key).substr(0, String(key).size() - 4);
          CheckReference(name, key, false, {"scrollbar"}, true, defaultName);
        }
      }
    }
    if (HasKey("FORMINFO", "statusbarname"))
      CheckReference("FORMINFO", "statusbarname", false, {"panel"}, true);
  }

  // Numbered entries "0" .. Count-1 of a list section.
  static void AddNumbered(std::set<String>& Keys, const String& Prefix, int Count)
  {
    for (int i = 0; i < Count && i < 1000000; ++i)
      Keys.insert(Prefix + IntToStr(i));
  }

  // The keys of a record's section, by its fields; a line list reads its count and its lines.
  void AddRecordKeys(std::set<String>& Keys, const String& Section, const TskFields& Fields)
  {
    for (const TskField& field : Fields) {
      const String key = LowerCase(field.Key);
      if (std::holds_alternative<TStrings*>(field.Target)) {
        Keys.insert(key + "linecount");
        AddNumbered(Keys, key + "line", FIni->ReadInteger(Section, key + "linecount", 0));
      } else {
        Keys.insert(key);
      }
    }
  }

  // Sections and keys that nothing reads: misspelt keys ("skinrct") would otherwise be
  // dropped without a word and leave the default value.
  void CheckUnknownKeys()
  {
    std::map<String, std::set<String>> known;
    std::set<String> unjudged;
    for (const auto& [section, keys] : FixedSectionKeys())
      for (const char* key : keys)
        known[section].insert(key);
    AddNumbered(known["pictures"], "", FIni->ReadInteger("PICTURES", "activepicturescount", 0));
    for (const char* list : {"SKINAREAS", "SKINOBJECTS", "SKINCONTROLS"})
      AddNumbered(known[LowerCase(list)], "", FIni->ReadInteger(list, "count", 0));
    for (const char* list : {"SKINOBJECTS", "SKINCONTROLS"}) {
      const int count = FIni->ReadInteger(list, "count", 0);
      for (int i = 0; i < count && i < 1000000; ++i) {
        const String value = FIni->ReadString(list, IntToStr(i), "");
        const int colon = Pos(":", value);
        if (colon <= 1)
          continue;
        const String name = Copy(value, 1, colon - 1);
        const String keyword = Copy(value, colon + 1, MaxInt);
        std::set<String>& keys = known[LowerCase(name)];
        if (String(list) == "SKINOBJECTS") {
          if (std::unique_ptr<TskDataSkinObject> record{CreateSkinObjectRecord(keyword, name)})
            AddRecordKeys(keys, name, record->GetFields());
          else
            unjudged.insert(LowerCase(name)); // its kind is reported already
        } else if (std::unique_ptr<TskDataSkinControl> record{CreateSkinControlRecord(keyword, name)}) {
          AddRecordKeys(keys, name, record->GetFields());
        } else {
          unjudged.insert(LowerCase(name));
        }
      }
    }
    TStringList sections;
    FIni->ReadSections(&sections);
    for (int s = 0; s < sections.GetCount(); ++s) {
      const String section = sections.Get(s);
      if (unjudged.count(LowerCase(section)))
        continue;
      const auto found = known.find(LowerCase(section));
      if (found == known.end()) {
        Problem(section, "", "a section that nothing reads");
        continue;
      }
      TStringList keys;
      FIni->ReadSection(section, &keys);
      for (int k = 0; k < keys.GetCount(); ++k)
        if (!found->second.count(LowerCase(keys.Get(k))))
          Problem(section, keys.Get(k), "unknown key (nothing reads it)");
    }
  }

  static bool EndsWith(const String& Text, const String& Suffix)
  {
    return Text.size() >= Suffix.size() && Text.compare(Text.size() - Suffix.size(), Suffix.size(), Suffix) == 0;
  }

  std::vector<String> Problems;
  std::map<String, TRecordEntry> Records;

private:
  TMemIniFile* FIni;
  int FPictureCount;
};

} // namespace

std::vector<String> CheckSkinIni(TMemIniFile* IniFile, int ActivePictureCount,
                                 const std::vector<TSkinRequirement>& Required)
{
  TChecker checker(IniFile, ActivePictureCount);
  if (!CheckSkinIniSections(IniFile))
    checker.Problem("", "", "needs the sections VERSION, PICTURES, FORMINFO, SKINOBJECTS and SKINCONTROLS");
  for (const char* section : {"FORMINFO", "POPUPWINDOW", "HINTWINDOW", "LAYERFRAME"})
    checker.CheckSectionBySuffix(section);
  if (IniFile->SectionExists("SKINAREAS")) {
    const int count = IniFile->ReadInteger("SKINAREAS", "count", 0);
    for (int i = 0; i < count; ++i) {
      const String value = IniFile->ReadString("SKINAREAS", IntToStr(i), "");
      if (Pos(":", value) == 0)
        checker.Problem("SKINAREAS", IntToStr(i), "needs name:left,top,right,bottom");
    }
  }
  for (const char* key : {"cbtnface", "cbtntext", "cwindow", "cwindowtext", "chighlight", "chighlighttext",
                          "cbtnhighlight", "cbtnshadow", "c3dlight", "c3ddkshadow"})
    if (!checker.HasKey("SKINCOLORS", key))
      checker.Problem("SKINCOLORS", key, "missing (the loader makes it black)");
  checker.CheckList("SKINOBJECTS", true);
  checker.CheckList("SKINCONTROLS", false);
  checker.CheckReferences();
  checker.CheckUnknownKeys();
  {
    TStringList lines;
    IniFile->GetStrings(&lines);
    const String error = SkinTextLoadError(lines.GetText(), std::max(0, ActivePictureCount));
    if (!error.empty())
      checker.Problem("", "", "the skin loader refuses it: " + error);
  }
  for (const TSkinRequirement& r : Required) {
    const auto found = checker.Records.find(r.Name);
    const String list = r.Object ? "SKINOBJECTS" : "SKINCONTROLS";
    if (found == checker.Records.end() || found->second.Object != r.Object)
      checker.Problem(list, "", "the program needs the record " + r.Name + " (" + r.Keyword + ")");
    else if (found->second.Keyword != r.Keyword)
      checker.Problem(list, "", "the record " + r.Name + " must be of kind " + r.Keyword + ", not " +
                                    found->second.Keyword);
  }
  return checker.Problems;
}

String SkinLoadError(TskCompressedStoredSkin* Skin)
{
  if (Skin->IsEmpty())
    return "the stored skin is empty";
  TskSkinData data(nullptr);
  data.LoadCompressedStoredSkin(Skin);
  if (data.Empty && data.LoadError.empty())
    return "the skin was not loaded";
  return data.LoadError;
}

String SkinTextLoadError(const String& Text, int ActivePictureCount)
{
  TMemoryStream payload;
  WriteInt32(&payload, StoredSkinWriteVersion);
  const std::uint8_t absent = 1;
  for (int i = 0; i < 5; ++i) // picture, inactivepicture, mask, rolluppicture, rollupmask
    payload.WriteBuffer(&absent, 1);
  WriteInt32(&payload, ActivePictureCount);
  for (int i = 0; i < ActivePictureCount; ++i)
    WriteStandInPicture(&payload);
  payload.WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
  payload.SetPosition(0);
  TMemoryStream packed;
  ZCompressStream(&payload, &packed, 1);
  TskCompressedStoredSkin skin(nullptr);
  skin.SetCompressedData(packed.GetMemory(), static_cast<std::size_t>(packed.GetSize()));
  return SkinLoadError(&skin);
}

std::vector<TSkinRequirement> ParseSkinRequirements(const String& Text)
{
  std::vector<TSkinRequirement> result;
  TStringList lines;
  lines.SetText(Text);
  for (int i = 0; i < lines.GetCount(); ++i) {
    const String line = Trim(lines.Get(i));
    if (line.empty() || line[0] == '#')
      continue;
    TStringList words;
    words.SetDelimiter(' ');
    words.SetStrictDelimiter(true);
    words.SetDelimitedText(line);
    std::vector<String> parts;
    for (int w = 0; w < words.GetCount(); ++w)
      if (!words.Get(w).empty())
        parts.push_back(words.Get(w));
    if (parts.size() == 2)
      result.push_back({parts[0], false, parts[1]});
    else if (parts.size() == 3 && parts[0] == "object")
      result.push_back({parts[1], true, parts[2]});
  }
  return result;
}
