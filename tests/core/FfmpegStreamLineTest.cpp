// ffmpeg's stream lines read as source-row values: captured lines of the older shape
// ("Stream #0.0: Video: mpeg4, ...") and of today's (Debian 12's ffmpeg 5.1: "Stream #0:0[0x1]
// (und): Video: h264 (High) (avc1 / ...), yuv420p(tv, bt709, progressive), ... 25 fps, ...").
#include <gtest/gtest.h>

#include "core/FfmpegStreamLine.h"

namespace {

struct TVideoCase {
  const char* Name;
  const char* Line;
  bool Read;
  const char* Codec;
  bool HasSize;
  const char* Width;
  const char* Height;
  const char* FrameRate;
};

const TVideoCase VideoCases[] = {
    // The older shape, as the fallback has always read it.
    {"OldWithAspectInBrackets", "Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr", true,
     "MPEG4", true, "640", "272", "23.98 "},
    {"OldWithLanguageAndAllRates",
     "Stream #0.0(eng): Video: h264, yuv420p, 1280x720 [PAR 1:1 DAR 16:9], 23.98 tbr, 1k tbn, 47.95 tbc", true, "H264",
     true, "1280", "720", "23.98 "},
    {"OldWithBitRateAndLooseAspect",
     "Stream #0.0[0x1e0]: Video: mpeg2video, yuv420p, 720x480, 9800 kb/s, PAR 8:9 DAR 4:3, 29.97 tbr, 90k tbn", true,
     "MPEG2VIDEO", true, "720", "480", "29.97 "},
    {"OldWithAspectWithoutBrackets", "Stream #0.0: Video: msmpeg4, yuv420p, 352x288 PAR 1:1 DAR 11:9, 25 tbr", true,
     "MSMPEG4", true, "352", "288", "25 "},
    // Today's shape, captured from ffmpeg 5.1.
    {"TodayMp4H264",
     "Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive), 320x240 [SAR 1:1 DAR 4:3], "
     "229 kb/s, 25 fps, 25 tbr, 12800 tbn (default)",
     true, "H264", true, "320", "240", "25 "},
    {"TodayMkvPixelFormatWithCommas",
     "Stream #0:0: Video: h264 (High 4:4:4 Predictive), yuv444p(tv, bt709, progressive), 320x240 [SAR 1:1 DAR 4:3], 24 "
     "fps, 24 tbr, 1k tbn",
     true, "H264", true, "320", "240", "24 "},
    {"TodayMkvMpeg4NtscRate",
     "Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p(tv, progressive), 320x240 [SAR 1:1 DAR 4:3], 29.97 fps, 29.97 "
     "tbr, 1k tbn",
     true, "MPEG4", true, "320", "240", "29.97 "},
    {"TodayAviWithCodecTag",
     "Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 640x352 [SAR 1:1 DAR 20:11], 1148 kb/s, "
     "23.98 fps, 23.98 tbr, 23.98 tbn",
     true, "MPEG4", true, "640", "352", "23.98 "},
    {"TodayWithoutFpsTakesTbr",
     "Stream #0:0: Video: mpeg2video (Main), yuv420p(tv, progressive), 720x576 [SAR 16:15 DAR 4:3], 25 tbr, 1200k tbn",
     true, "MPEG2VIDEO", true, "720", "576", "25 "},
    {"TodayWithoutSizeKeepsTheSize", "Stream #0:0: Video: h264, none, 25 tbr, 1k tbn", true, "H264", false, "", "",
     "25 "},
    // Not the film's picture, and not a video line.
    {"CoverPictureIsSkipped",
     "Stream #0:2[0x0]: Video: mjpeg (Baseline), yuvj444p(pc, bt470bg/unknown/unknown), 64x64 [SAR 1:1 DAR 1:1], 90k "
     "tbr, 90k tbn (attached pic)",
     false, "", false, "", "", ""},
    {"AudioLineIsNoVideo", "Stream #0:1: Audio: mp2, 48000 Hz, mono, s16p, 384 kb/s", false, "", false, "", "", ""},
};

struct TAudioCase {
  const char* Name;
  const char* Line;
  bool Read;
  const char* Codec;
  bool HasSampleRate;
  const char* SampleRate;
};

const TAudioCase AudioCases[] = {
    {"OldMp3", "Stream #0.1: Audio: mp3, 44100 Hz, stereo, s16, 128 kb/s", true, "mp3", true, "44100"},
    {"OldAc3WithLanguage", "Stream #0.1(eng): Audio: ac3, 48000 Hz, 5.1, s16, 448 kb/s", true, "ac3", true, "48000"},
    {"TodayMp4Aac",
     "Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, stereo, fltp, 128 kb/s (default)", true,
     "aac", true, "44100"},
    {"TodayMkvAacWithoutBitRate", "Stream #0:1: Audio: aac (LC), 48000 Hz, mono, fltp", true, "aac", true, "48000"},
    {"TodayWithoutRateKeepsTheRate", "Stream #0:1: Audio: none", true, "none", false, ""},
    {"VideoLineIsNoAudio", "Stream #0.0: Video: mpeg4, yuv420p, 640x272, 23.98 tbr", false, "", false, ""},
};

}  // namespace

TEST(FfmpegStreamLine, VideoLinesOfBothShapes)
{
  for (const TVideoCase& C : VideoCases) {
    SCOPED_TRACE(C.Name);
    TFfmpegVideoStream V;
    ASSERT_EQ(ReadFfmpegVideoStream(C.Line, V), C.Read);
    if (!C.Read) continue;
    EXPECT_EQ(V.Codec, C.Codec);
    EXPECT_EQ(V.HasSize, C.HasSize);
    EXPECT_EQ(V.Width, C.Width);
    EXPECT_EQ(V.Height, C.Height);
    EXPECT_EQ(V.FrameRate, C.FrameRate);
  }
}

TEST(FfmpegStreamLine, AudioLinesOfBothShapes)
{
  for (const TAudioCase& C : AudioCases) {
    SCOPED_TRACE(C.Name);
    TFfmpegAudioStream A;
    ASSERT_EQ(ReadFfmpegAudioStream(C.Line, A), C.Read);
    if (!C.Read) continue;
    EXPECT_EQ(A.Codec, C.Codec);
    EXPECT_EQ(A.HasSampleRate, C.HasSampleRate);
    EXPECT_EQ(A.SampleRate, C.SampleRate);
  }
}
