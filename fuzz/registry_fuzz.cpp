// The registry stand-in: value texts become typed data of the right size, and a registry file
// of any contents opens and answers (key paths and value names from the input too).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/os/Registry.h"

namespace {

std::string FileName;

}  // namespace

extern "C" void QvFuzzSetUp()
{
  FileName = "/tmp/qv-registry-fuzz-" + std::to_string(getpid()) + ".ini";
  SetRegistryFileName(FileName);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Text(reinterpret_cast<const char*>(Data), Size);
  DWORD Type = 0;
  std::vector<BYTE> Value;
  ParseRegistryValue(Text, Type, Value);
  if (Type == REG_DWORD && Value.size() != 4) std::abort();
  if (Type == REG_SZ && (Value.empty() || Value.back() != 0)) std::abort();
  if (Type == REG_BINARY && Value.size() > Text.size()) std::abort();

  std::ofstream(FileName, std::ios::binary | std::ios::trunc) << Text;
  // Every "[...]" of the input is tried as a key, every "x=" as a value of it.
  std::size_t At = 0;
  int Tries = 0;
  while ((At = Text.find('[', At)) != String::npos && Tries++ < 8) {
    const std::size_t End = Text.find(']', At);
    if (End == String::npos) break;
    const String Path = Text.substr(At + 1, End - At - 1);
    At = End;
    for (HKEY Root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
      HKEY Key = nullptr;
      if (RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &Key) != 0) continue;
      const std::size_t Eq = Text.find('=', End);
      const std::size_t LineStart = Text.rfind('\n', Eq == String::npos ? 0 : Eq);
      const String Name = Eq == String::npos ? String() : Text.substr(LineStart == String::npos ? 0 : LineStart + 1,
                                                                      Eq - (LineStart == String::npos ? 0 : LineStart + 1));
      BYTE Buffer[64];
      DWORD Got = sizeof Buffer, GotType = 0;
      const LONG R = RegQueryValueExA(Key, Name.c_str(), nullptr, &GotType, Buffer, &Got);
      if (R == 0 && Got > sizeof Buffer) std::abort();
      RegCloseKey(Key);
    }
  }
  return 0;
}
