// The fields of a skin record and how they are read from and written to the record's INI
// section. A record class lists its fields once, with QV_SKIN_RECORD_FIELDS; the list both
// declares the members (each named by its INI key) and describes them for loading and saving.
#pragma once

#include <variant>
#include <vector>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/GraphicsObjects.h"
#include "skin/foundation/SkinIniLayout.h"

// How the frames of a filmstrip picture lie: exactly "fphorizontal" is horizontal, every
// other text vertical.
enum TskFramesPlacement { fpHorizontal, fpVertical };
// Exactly "rkround" and "rkhorizontal" select the first two; every other text rkVertical.
enum TskRegulatorKind { rkRound, rkHorizontal, rkVertical };
// The action of a caption button; a text that matches none of the others gives
// cmMinimizeToTray.
enum TskButtonCommand { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };
// Exactly "gkhorizontal" is horizontal, every other text vertical.
enum TskGaugeKind { gkHorizontal, gkVertical };

TskFramesPlacement ReadFramesPlacement(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TskRegulatorKind ReadRegulatorKind(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TskButtonCommand ReadButtonCommand(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TskGaugeKind ReadGaugeKind(TCustomIniFile* IniFile, const String& Section, const String& Ident);

// A record's colours are TColor values, read and written as whole numbers.
struct TskColorField {
  TColor* Value;
};

using TskFieldTarget =
    std::variant<TRect*, TPoint*, bool*, int*, TskColorField, String*, TFontStyles*, TAlignment*, TStrings*,
                 TskStretchType*, TskMorphKind*, TskFramesPlacement*, TskRegulatorKind*, TskButtonCommand*,
                 TskGaugeKind*>;

struct TskField {
  const char* Key;
  TskFieldTarget Target;
  int IntDefault;
  String TextDefault;
};
using TskFields = std::vector<TskField>;

// The value a field has when its key is missing: -1 for picture and cursor indexes, 14 for
// font heights, "Arial" for font names, zero, empty or the kind's first keyword otherwise.
int SkinIntDefault(const char* Key);
String SkinTextDefault(const char* Key);

inline TskField SkinField(const char* Key, int* Target) { return {Key, Target, SkinIntDefault(Key), {}}; }
inline TskField SkinField(const char* Key, int* Target, int Default) { return {Key, Target, Default, {}}; }
inline TskField SkinField(const char* Key, String* Target) { return {Key, Target, 0, SkinTextDefault(Key)}; }
inline TskField SkinField(const char* Key, String* Target, const char* Default) { return {Key, Target, 0, Default}; }
template <typename T>
TskField SkinField(const char* Key, T* Target)
{
  return {Key, Target, 0, {}};
}

// Reads every field from Section (each missing key gives the field's default).
void LoadSkinFields(TCustomIniFile* IniFile, const String& Section, const TskFields& Fields);
// Writes every field to Section, in order.
void SaveSkinFields(TCustomIniFile* IniFile, const String& Section, const TskFields& Fields);

// Starting values of the members declared by the field lists.
template <typename T>
struct TskFieldStart {
  static T Value(const char*) { return T{}; }
  static T Value(const char*, T Default) { return Default; }
};
template <>
struct TskFieldStart<int> {
  static int Value(const char* Key) { return SkinIntDefault(Key); }
  static int Value(const char*, int Default) { return Default; }
};
template <>
struct TskFieldStart<String> {
  static String Value(const char* Key) { return SkinTextDefault(Key); }
  static String Value(const char*, const char* Default) { return Default; }
};

template <>
struct TskFieldStart<TskButtonCommand> {
  static TskButtonCommand Value(const char*) { return cmDefault; }
};

// The field lists name a field's kind. Most kinds are the member's type; colours and font
// styles are both 32-bit numbers in C++, so they have kind tags of their own.
struct skColor {};
struct skFontStyles {};

template <typename Kind>
struct TskFieldOf {
  using Type = Kind;
  template <typename... D>
  static TskField Make(const char* Key, Type* Target, D... Default)
  {
    return SkinField(Key, Target, Default...);
  }
};
template <>
struct TskFieldOf<skColor> {
  using Type = TColor;
  static TskField Make(const char* Key, TColor* Target, int Default = 0)
  {
    return {Key, TskColorField{Target}, Default, {}};
  }
};
template <>
struct TskFieldOf<skFontStyles> {
  using Type = TFontStyles;
  static TskField Make(const char* Key, TFontStyles* Target) { return {Key, Target, 0, {}}; }
};

#define QV_SKIN_DECLARE_FIELD(Kind, Name, ...)                                                                       \
  TskFieldOf<Kind>::Type Name = TskFieldStart<TskFieldOf<Kind>::Type>::Value(#Name __VA_OPT__(, ) __VA_ARGS__);
#define QV_SKIN_DESCRIBE_FIELD(Kind, Name, ...)                                                                      \
  Fields.push_back(TskFieldOf<Kind>::Make(#Name, &Name __VA_OPT__(, ) __VA_ARGS__));

// Declares the record's own fields and appends them, after the base class's, to the list that
// loading and saving go through.
#define QV_SKIN_RECORD_FIELDS(Base, List)                                                                           \
public:                                                                                                            \
  List(QV_SKIN_DECLARE_FIELD)                                                                                      \
                                                                                                                   \
protected:                                                                                                         \
  void DescribeFields(TskFields& Fields) override                                                                  \
  {                                                                                                                \
    Base::DescribeFields(Fields);                                                                                  \
    List(QV_SKIN_DESCRIBE_FIELD)                                                                                   \
  }                                                                                                                \
                                                                                                                   \
public:
