// The relay of ffmpeg's output: the progress time in a form the run control reads, line ends
// kept, lines whole across reads.
#include <gtest/gtest.h>

#include <string>

#include "core/RunControl.h"
#include "tools/adapter/ProgressRelay.h"

using qv::tools::TProgressRelay;

namespace {

struct TLineCase {
  const char* Name;
  const char* Line;
  const char* Relayed;
  int Seconds;  // what the run control reads from the relayed line; -1 for nothing
};

// clang-format off
const TLineCase LineCases[] = {
    {"Seconds", "frame=  125 fps=0.0 q=-1.0 Lsize=     302kB time=00:00:05.00 bitrate= 494.9kbits/s speed=38x",
     "frame=  125 fps=0.0 q=-1.0 Lsize=     302kB time=5.00 bitrate= 494.9kbits/s speed=38x", 5},
    {"AnHourAndMore", "size=  9000kB time=01:02:03.45 bitrate=1000.0kbits/s", "size=  9000kB time=3723.45 bitrate=1000.0kbits/s", 3723},
    {"SevenCharactersAtMost", "size=1kB time=02:46:39.96 bitrate=1", "size=1kB time=9999.96 bitrate=1", 10000},
    {"OneDecimalWhenLonger", "size=1kB time=05:33:20.25 bitrate=1", "size=1kB time=20000.2 bitrate=1", 20000},
    {"FewerDecimalsWhenLonger", "size=1kB time=27:46:40.00 bitrate=1", "size=1kB time=100000 bitrate=1", 100000},
    {"HoursOfThreeDigits", "size=1kB time=123:00:00.50 bitrate=1", "size=1kB time=442800 bitrate=1", 442800},
    {"NoFraction", "size=1kB time=00:01:30 bitrate=1", "size=1kB time=90.00 bitrate=1", 90},
    {"Negative", "size=1kB time=-00:00:00.04 bitrate=1", "size=1kB time=-0.04 bitrate=1", -1},  // before the start: no progress
    {"NotAvailable", "size=N/A time=N/A bitrate=N/A", "size=N/A time=N/A bitrate=N/A", -1},
    {"NoTime", "Stream #0:0: Video: mpeg4, yuv420p, 320x240", "Stream #0:0: Video: mpeg4, yuv420p, 320x240", -1},
    {"NotAClock", "time=12:3 size=1", "time=12:3 size=1", -1},
};
// clang-format on

class ProgressRelayLine : public ::testing::TestWithParam<TLineCase> {};

}  // namespace

TEST_P(ProgressRelayLine, RewritesTheTimeTheRunControlReads)
{
  const TLineCase& C = GetParam();
  const std::string Relayed = TProgressRelay::RewriteLine(C.Line);
  EXPECT_EQ(Relayed, C.Relayed);
  int Seconds = -1;
  if (!ParseProgressPosition(Relayed, Seconds)) Seconds = -1;
  EXPECT_EQ(Seconds, C.Seconds);
}

INSTANTIATE_TEST_SUITE_P(Lines, ProgressRelayLine, ::testing::ValuesIn(LineCases),
                         [](const ::testing::TestParamInfo<TLineCase>& Info) { return std::string(Info.param.Name); });

TEST(ProgressRelay, KeepsLineEndsAndWaitsForTheRestOfALine)
{
  TProgressRelay Relay;
  // Progress ends in CR, messages in LF; both come through as they were.
  EXPECT_EQ(Relay.Feed("size=1kB time=00:00:01.00 bitrate=1\rsize=2kB time=00:00:02.00 bitrate=1\r", 72),
            "size=1kB time=1.00 bitrate=1\rsize=2kB time=2.00 bitrate=1\r");
  EXPECT_EQ(Relay.Feed("Press [q] to stop\n", 18), "Press [q] to stop\n");
  // A line split inside its time: nothing until the line ends, then the whole line rewritten.
  const std::string First = "size=3kB time=00:0", Second = "0:03.00 bitrate=1\r";
  EXPECT_EQ(Relay.Feed(First.data(), First.size()), "");
  EXPECT_EQ(Relay.Feed(Second.data(), Second.size()), "size=3kB time=3.00 bitrate=1\r");
  // A CR LF pair stays a pair.
  EXPECT_EQ(Relay.Feed("a\r\n", 3), "a\r\n");
  // The unfinished last line comes out at the end.
  EXPECT_EQ(Relay.Feed("size=4kB time=00:00:04.00", 25), "");
  EXPECT_EQ(Relay.Finish(), "size=4kB time=4.00");
  EXPECT_EQ(Relay.Finish(), "");
}
