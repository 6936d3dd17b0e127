// Feeds arbitrary lines to the line forms that identification accepts from the player's output
// (identify keys, track lines) and to the checks of the values that go on to other tools' lines:
// nothing crashes, and a value the checks accept is one argument that no quote, blank or line
// break can split or extend.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/DetectText.h"
#include "core/ToolOutputValues.h"
#include "platform/os/CommandLine.h"

using namespace detecttext;

namespace {

void MustBeOneArgument(const String& Value)
{
  if (Value.find_first_of("\"\r\n\t") != String::npos) std::abort();
  const auto Args = qv::os::SplitCommandLine("-x " + Value);
  if (Args.size() != 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Line(reinterpret_cast<const char*>(Data), Size);
  for (const char* Key : {"ID_LENGTH", "ID_VIDEO_FPS", "ID_VIDEO_ASPECT", "ID_VIDEO_WIDTH", "ID_AUDIO_NCH"})
    if (IsKeyLine(Line, Key)) {
      const String Value = KeyValue(Line, Key);
      if (IsToolRate(Value)) MustBeOneArgument(Trim(Value));
      if (IsToolId(Value)) MustBeOneArgument(Trim(Value));
    }
  for (const char* Prefix : {"ID_AID_", "ID_SID_"})
    if (IsTrackKeyLine(Line, Prefix)) MustBeOneArgument(Trim(RemoveFirst(Line, Prefix)));
  (void)IsAudioTrackLine(Line);
  (void)IsSubtitleTrackLine(Line);
  const String Rate = CheckedToolRate(Line, "-ofps");
  if (!Rate.empty()) MustBeOneArgument(Rate);
  const String Id = CheckedToolId(Line, "-aid");
  if (!Id.empty()) MustBeOneArgument(Trim(Id));
  return 0;
}
