// The INI parser: whatever the text, reading it, writing it out and reading that again gives
// the same contents; values written are read back; case rules and erasing keep the section
// index right.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"


namespace {

String Contents(TMemIniFile& Ini)
{
  TStringList Lines;
  Ini.GetStrings(&Lines);
  return Lines.GetText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  TStringList Lines;
  Lines.SetText(String(reinterpret_cast<const char*>(Data), Size));
  TMemIniFile Ini("");
  Ini.SetCaseSensitive((Size & 1) != 0);
  Ini.SetStrings(&Lines);
  const String First = Contents(Ini);

  TStringList Again;
  Ini.GetStrings(&Again);
  TMemIniFile Copy("");
  Copy.SetCaseSensitive(Ini.GetCaseSensitive());
  Copy.SetStrings(&Again);
  if (Contents(Copy) != First) std::abort();

  TStringList Sections;
  Ini.ReadSections(&Sections);
  for (int I = 0; I < Sections.GetCount(); ++I) {
    const String Name = Sections[I];
    TStringList Keys;
    Ini.ReadSection(Name, &Keys);
    if (Keys.GetCount() > 0 && !Ini.SectionExists(Name)) std::abort();
    try {
      Ini.WriteString(Name, "fuzz key", "value " + Name);
      if (Ini.ReadString(Name, "FUZZ KEY", "") != "value " + Name && !Ini.GetCaseSensitive()) std::abort();
    } catch (const EIniFileException&) {
      // a section name that could not be written back
    }
  }
  Ini.SetCaseSensitive(!Ini.GetCaseSensitive());
  if (Sections.GetCount() > 0) {
    Ini.EraseSection(Sections[0]);
    if (Ini.SectionExists(Sections[0]) && !Ini.GetCaseSensitive()) std::abort();
  }
  for (int I = 1; I < Sections.GetCount(); ++I) Ini.ReadString(Sections[I], "fuzz key", "");
  return 0;
}
