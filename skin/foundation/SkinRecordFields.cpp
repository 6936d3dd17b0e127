#include "skin/foundation/SkinRecordFields.h"

#include "platform/rtl/StrUtils.h"
#include "skin/foundation/SkinValueCodec.h"

namespace {

bool EndsWithText(const char* Key, const char* Suffix)
{
  const String key = LowerCase(Key);
  const String suffix = Suffix;
  return key.size() >= suffix.size() && key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0;
}

const char* const FramesPlacementWords[] = {"fphorizontal", "fpvertical"};
const char* const RegulatorKindWords[] = {"rkround", "rkhorizontal", "rkvertical"};
const char* const GaugeKindWords[] = {"gkhorizontal", "gkvertical"};

const char* ButtonCommandWord(TskButtonCommand Value)
{
  switch (Value) {
  case cmClose: return "cmclose";
  case cmMaximize: return "cmmaximize";
  case cmMinimize: return "cmminimize";
  case cmSysMenu: return "cmsysmenu";
  case cmDefault: return "cmdefault";
  case cmRollUp: return "cmrollup";
  case cmMinimizeToTray: break;
  }
  return "cmminimizetotray";
}

template <typename T, std::size_t N>
const char* WordOf(T Value, const char* const (&Words)[N])
{
  const auto index = static_cast<std::size_t>(Value);
  return index < N ? Words[index] : Words[N - 1];
}

} // namespace

int SkinIntDefault(const char* Key)
{
  if (EndsWithText(Key, "pictureindex") || EndsWithText(Key, "cursorindex"))
    return -1;
  if (EndsWithText(Key, "fontheight"))
    return 14;
  return 0;
}

String SkinTextDefault(const char* Key)
{
  return EndsWithText(Key, "fontname") ? "Arial" : "";
}

TskFramesPlacement ReadFramesPlacement(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  return IniFile->ReadString(Section, Ident, "fphorizontal") == "fphorizontal" ? fpHorizontal : fpVertical;
}

TskRegulatorKind ReadRegulatorKind(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  const String value = IniFile->ReadString(Section, Ident, "rkround");
  if (value == "rkround")
    return rkRound;
  if (value == "rkhorizontal")
    return rkHorizontal;
  return rkVertical;
}

TskButtonCommand ReadButtonCommand(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  // Compared in the order of the commands: close, maximize, minimize, system menu, default,
  // roll up; anything else is "minimize to tray".
  static const char* const words[] = {"cmclose", "cmmaximize", "cmminimize", "cmsysmenu", "cmdefault", "cmrollup"};
  const String value = IniFile->ReadString(Section, Ident, "cmdefault");
  for (std::size_t i = 0; i < std::size(words); ++i)
    if (value == words[i])
      return static_cast<TskButtonCommand>(i);
  return cmMinimizeToTray;
}

TskGaugeKind ReadGaugeKind(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  return IniFile->ReadString(Section, Ident, "gkhorizontal") == "gkhorizontal" ? gkHorizontal : gkVertical;
}

void LoadSkinFields(TCustomIniFile* IniFile, const String& Section, const TskFields& Fields)
{
  for (const TskField& field : Fields) {
    const String key = field.Key;
    std::visit(
        [&](auto target) {
          using T = decltype(target);
          if constexpr (std::is_same_v<T, TRect*>)
            *target = ReadRect(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TPoint*>)
            *target = ReadPoint(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, bool*>)
            *target = ReadBoolean(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, int*>)
            *target = IniFile->ReadInteger(Section, key, field.IntDefault);
          else if constexpr (std::is_same_v<T, TskColorField>)
            *target.Value = static_cast<TColor>(IniFile->ReadInteger(Section, key, field.IntDefault));
          else if constexpr (std::is_same_v<T, String*>)
            *target = IniFile->ReadString(Section, key, field.TextDefault);
          else if constexpr (std::is_same_v<T, TFontStyles*>)
            *target = ReadFontStyles(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TAlignment*>)
            *target = ReadAlignment(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TStrings*>)
            ReadLines(IniFile, Section, key, target);
          else if constexpr (std::is_same_v<T, TskStretchType*>)
            *target = ReadStretchType(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TskMorphKind*>)
            *target = ReadMorphKind(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TskFramesPlacement*>)
            *target = ReadFramesPlacement(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TskRegulatorKind*>)
            *target = ReadRegulatorKind(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TskButtonCommand*>)
            *target = ReadButtonCommand(IniFile, Section, key);
          else if constexpr (std::is_same_v<T, TskGaugeKind*>)
            *target = ReadGaugeKind(IniFile, Section, key);
        },
        field.Target);
  }
}

void SaveSkinFields(TCustomIniFile* IniFile, const String& Section, const TskFields& Fields)
{
  for (const TskField& field : Fields) {
    const String key = field.Key;
    std::visit(
        [&](auto target) {
          using T = decltype(target);
          if constexpr (std::is_same_v<T, TRect*>)
            WriteRect(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, TPoint*>)
            WritePoint(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, bool*>)
            WriteBoolean(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, int*>)
            IniFile->WriteInteger(Section, key, *target);
          else if constexpr (std::is_same_v<T, TskColorField>)
            IniFile->WriteInteger(Section, key, static_cast<int>(*target.Value));
          else if constexpr (std::is_same_v<T, String*>)
            IniFile->WriteString(Section, key, *target);
          else if constexpr (std::is_same_v<T, TFontStyles*>)
            WriteFontStyles(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, TAlignment*>)
            WriteAlignment(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, TStrings*>)
            WriteLines(IniFile, Section, key, target);
          else if constexpr (std::is_same_v<T, TskStretchType*>)
            WriteStretchType(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, TskMorphKind*>)
            WriteMorphKind(IniFile, Section, key, *target);
          else if constexpr (std::is_same_v<T, TskFramesPlacement*>)
            IniFile->WriteString(Section, key, WordOf(*target, FramesPlacementWords));
          else if constexpr (std::is_same_v<T, TskRegulatorKind*>)
            IniFile->WriteString(Section, key, WordOf(*target, RegulatorKindWords));
          else if constexpr (std::is_same_v<T, TskButtonCommand*>)
            IniFile->WriteString(Section, key, ButtonCommandWord(*target));
          else if constexpr (std::is_same_v<T, TskGaugeKind*>)
            IniFile->WriteString(Section, key, WordOf(*target, GaugeKindWords));
        },
        field.Target);
  }
}
