// Feeds arbitrary lines to the reader of the encoders' progress lines (mencoder's "Pos:",
// ffmpeg's "time="): nothing crashes, and a position it reads is never negative.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/RunControl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Line(reinterpret_cast<const char*>(Data), Size);
  int Seconds = 0;
  if (ParseProgressPosition(Line, Seconds) && Seconds < 0) std::abort();
  return 0;
}
