#include "skin/foundation/SkinValueCodec.h"

#include <array>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

namespace {

// Splits Text at commas into Slots, keeping only digits of each field. Fields past the last
// slot are ignored; slots no field reached stay empty (and fail to convert).
template <std::size_t N>
std::array<String, N> ScanFields(const String& Text)
{
  std::array<String, N> slots;
  String current;
  std::size_t field = 0;
  for (char c : Text) {
    if (c == ',') {
      if (field < N)
        slots[field] = current;
      current.clear();
      ++field;
    } else if (c >= '0' && c <= '9') {
      current += c;
    }
  }
  if (field < N)
    slots[field] = current;
  return slots;
}

} // namespace

POINT ParsePoint(const String& Text)
{
  const auto slots = ScanFields<2>(Text);
  return POINT{StrToInt(slots[0]), StrToInt(slots[1])};
}

RECT ParseRect(const String& Text)
{
  const auto slots = ScanFields<4>(Text);
  return RECT{StrToInt(slots[0]), StrToInt(slots[1]), StrToInt(slots[2]), StrToInt(slots[3])};
}

POINT ReadPoint(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  return ParsePoint(IniFile->ReadString(Section, Ident, "0,0"));
}

RECT ReadRect(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  return ParseRect(IniFile->ReadString(Section, Ident, "0,0,0,0"));
}

bool ReadBoolean(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  return IniFile->ReadInteger(Section, Ident, 0) == 1;
}

TFontStyles ReadFontStyles(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  const String value = IniFile->ReadString(Section, Ident, "");
  TFontStyles styles = 0;
  if (Pos("fsbold", value) > 0)
    styles |= fsBold;
  if (Pos("fsitalic", value) > 0)
    styles |= fsItalic;
  if (Pos("fsunderline", value) > 0)
    styles |= fsUnderline;
  if (Pos("fsstrikeout", value) > 0)
    styles |= fsStrikeOut;
  return styles;
}

TAlignment ReadAlignment(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  const String value = IniFile->ReadString(Section, Ident, "tacenter");
  if (value == "tacenter")
    return taCenter;
  if (value == "taleftjustify")
    return taLeftJustify;
  return taRightJustify;
}

void CheckSkinListCount(TCustomIniFile* IniFile, const String& Section, const String& CountKey, int Count)
{
  if (Count <= 0)
    return;
  // Every entry of a list is a line of its section: a count beyond them is damage, and it
  // would otherwise make the reader loop (or allocate) for billions of missing entries.
  TStringList keys;
  IniFile->ReadSection(Section, &keys);
  if (Count > keys.GetCount())
    throw EReadError(Format("[%s] %s=%d counts more entries than the section holds", {Section, CountKey, Count}));
}

void ReadLines(TCustomIniFile* IniFile, const String& Section, const String& Ident, TStrings* Lines)
{
  const int count = IniFile->ReadInteger(Section, Ident + "linecount", 0);
  CheckSkinListCount(IniFile, Section, Ident + "linecount", count);
  for (int i = 0; i < count; ++i)
    Lines->Add(IniFile->ReadString(Section, Ident + "line" + IntToStr(i), ""));
}

void ReadStrings(TCustomIniFile* IniFile, const String& Section, const String& Ident, TStrings* Strings)
{
  const int count = IniFile->ReadInteger(Section, Ident + "count", 0);
  CheckSkinListCount(IniFile, Section, Ident + "count", count);
  for (int i = 0; i < count; ++i)
    Strings->Add(IniFile->ReadString(Section, IntToStr(i), ""));
}

void WritePoint(TCustomIniFile* IniFile, const String& Section, const String& Ident, const POINT& Value)
{
  IniFile->WriteString(Section, Ident, IntToStr(Value.x) + "," + IntToStr(Value.y));
}

void WriteRect(TCustomIniFile* IniFile, const String& Section, const String& Ident, const RECT& Value)
{
  IniFile->WriteString(Section, Ident,
                       IntToStr(Value.left) + "," + IntToStr(Value.top) + "," + IntToStr(Value.right) + "," +
                           IntToStr(Value.bottom));
}

void WriteBoolean(TCustomIniFile* IniFile, const String& Section, const String& Ident, bool Value)
{
  IniFile->WriteInteger(Section, Ident, Value ? 1 : 0);
}

void WriteFontStyles(TCustomIniFile* IniFile, const String& Section, const String& Ident, TFontStyles Value)
{
  static const struct {
    TFontStyles Style;
    const char* Word;
  } words[] = {{fsBold, "fsbold"}, {fsItalic, "fsitalic"}, {fsUnderline, "fsunderline"}, {fsStrikeOut, "fsstrikeout"}};
  String text;
  for (const auto& w : words) {
    if (Value & w.Style) {
      if (!text.empty())
        text += ",";
      text += w.Word;
    }
  }
  IniFile->WriteString(Section, Ident, text);
}

void WriteAlignment(TCustomIniFile* IniFile, const String& Section, const String& Ident, TAlignment Value)
{
  const char* word = "taleftjustify";
  if (Value == taCenter)
    word = "tacenter";
  else if (Value == taRightJustify)
    word = "tarightjustify";
  IniFile->WriteString(Section, Ident, word);
}

void WriteLines(TCustomIniFile* IniFile, const String& Section, const String& Ident, TStrings* Lines)
{
  IniFile->WriteInteger(Section, Ident + "linecount", Lines->GetCount());
  for (int i = 0; i < Lines->GetCount(); ++i)
    IniFile->WriteString(Section, Ident + "line" + IntToStr(i), Lines->Get(i));
}
