// The command-line splitter and joiner: joining the arguments a line splits into and splitting
// again gives the same arguments; a path passed through the quoting routine comes back as one
// argument equal to the (absolute) path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/os/CommandLine.h"
#include "platform/rtl/Paths.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Text(reinterpret_cast<const char*>(Data), Size);
  const std::vector<String> Args = qv::os::SplitCommandLine(Text);
  const String Joined = qv::os::JoinCommandLine(Args);
  if (qv::os::SplitCommandLine(Joined) != Args) std::abort();
  if (qv::os::JoinCommandLine(qv::os::SplitCommandLine(Joined)) != Joined) std::abort();

  // The input as a path (a NUL can't be part of one).
  if (Text.find('\0') != String::npos) return 0;
  const String Path = Text.empty() || Text[0] == '/' ? Text : "/work/" + Text;
  const std::vector<String> Quoted = qv::os::SplitCommandLine("tool " + qv::os::QuoteCommandLinePath(Path) + " -o x");
  if (Quoted != std::vector<String>{"tool", Path, "-o", "x"}) std::abort();
  return 0;
}
