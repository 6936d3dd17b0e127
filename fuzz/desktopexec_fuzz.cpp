// The desktop entry's Exec line: any value parses; the line written for the arguments it gave
// parses back to the same arguments (when none is empty: an empty argument has no form there).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/os/Shortcuts.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Text(reinterpret_cast<const char*>(Data), Size);
  const std::vector<String> Args = ParseDesktopExecLine(Text);
  const String Line = DesktopExecLine(Args);
  if (Line.find('\n') != String::npos || Line.find('\r') != String::npos) std::abort();
  if (ParseDesktopExecLine(Line) != Args) std::abort();
  return 0;
}
