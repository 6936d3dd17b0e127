// Feeds arbitrary lines to the readers of ffmpeg's stream lines: nothing crashes or hangs.
#include <cstddef>
#include <cstdint>

#include "core/FfmpegStreamLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Line(reinterpret_cast<const char*>(Data), Size);
  TFfmpegVideoStream Video;
  (void)ReadFfmpegVideoStream(Line, Video);
  TFfmpegAudioStream Audio;
  (void)ReadFfmpegAudioStream(Line, Audio);
  return 0;
}
