#include "skin/foundation/SkinIniLayout.h"

#include <iterator>

namespace {

const char* const MorphKindWords[] = {"mkdefault",   "mkgradient",   "mkleftgradient", "mkrightgradient",
                                      "mkleftslide", "mkrightslide", "mkpush"};
const char* const InactiveEffectWords[] = {"iebrightness", "iedarkness",  "iegrayscale",
                                           "ienoise",      "iesplitblur", "ieinvert"};

} // namespace

bool CheckSkinIniSections(TCustomIniFile* IniFile)
{
  for (const char* section : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    if (!IniFile->SectionExists(section))
      return false;
  return true;
}

TskStretchType ReadStretchType(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  // Only "stfull" and "stvert" are looked for: "sthorz" and every other text give stHorz.
  const String value = IniFile->ReadString(Section, Ident, "stfull");
  if (value == "stfull")
    return stFull;
  if (value == "stvert")
    return stVert;
  return stHorz;
}

TskMorphKind ReadMorphKind(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  const String value = IniFile->ReadString(Section, Ident, "mkdefault");
  for (std::size_t i = 0; i < std::size(MorphKindWords); ++i)
    if (value == MorphKindWords[i])
      return static_cast<TskMorphKind>(i);
  return mkDefault;
}

TskInactiveEffect ReadInactiveEffect(TCustomIniFile* IniFile, const String& Section, const String& Ident)
{
  const String value = IniFile->ReadString(Section, Ident, "iebrightness");
  for (std::size_t i = 0; i < std::size(InactiveEffectWords); ++i)
    if (value == InactiveEffectWords[i])
      return static_cast<TskInactiveEffect>(i);
  return ieGrayScale;
}

void WriteStretchType(TCustomIniFile* IniFile, const String& Section, const String& Ident, TskStretchType Value)
{
  static const char* const words[] = {"stfull", "sthorz", "stvert"};
  const int index = Value >= stFull && Value <= stVert ? Value : stFull;
  IniFile->WriteString(Section, Ident, words[index]);
}

void WriteMorphKind(TCustomIniFile* IniFile, const String& Section, const String& Ident, TskMorphKind Value)
{
  const int index = Value >= mkDefault && Value <= mkPush ? Value : mkDefault;
  IniFile->WriteString(Section, Ident, MorphKindWords[index]);
}
