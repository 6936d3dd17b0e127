// The stream lines of ffmpeg's "-i" report read as source-row values, for the identification
// that asks ffmpeg when mplayer's answer is incomplete.
//
// Two shapes of line are read, and give the same kind of values:
//   older ffmpeg   Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr
//                  Stream #0.1: Audio: mp3, 44100 Hz, stereo, s16, 128 kb/s
//   current one    Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661),
//                    yuv420p(tv, bt709, progressive), 320x240 [SAR 1:1 DAR 4:3], 229 kb/s,
//                    25 fps, 25 tbr, 12800 tbn (default)
//                  Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, ...
// The values start after "Video:" or "Audio:" (the stream's number may hold a ":"), and the
// fields are the comma-separated parts outside parentheses and brackets (a pixel format may
// carry "(tv, bt709, progressive)").
//
// Contract:
// - Codec: the codec's name alone, without the profile or tag in parentheses ("h264"); the
//   video codec in upper case ("H264", "MPEG4"), the audio codec as printed ("aac", "mp3").
// - Size: the first field after the codec that starts with <width>x<height>; HasSize is false
//   when no field does (the caller then keeps the size it has).
// - Frame rate: the number of the "fps" field followed by one blank ("25 "); without an "fps"
//   field, the older rule: the field after the size, passing over one bit-rate field ("kb")
//   and then one aspect field ("AR"), up to its first "t", untrimmed ("23.98 " from
//   "23.98 tbr"). A line without a size gives only an "fps" or "tbr" rate. Empty when the line
//   gives no rate.
// - Sample rate: the first field after the codec that holds "Hz", without "Hz" ("44100");
//   HasSampleRate is false when no field does.
// - A video stream marked "(attached pic)" (a cover picture in the file) is not the film's
//   picture: ReadFfmpegVideoStream returns false for it, as for a line without "Video:".
#pragma once

#include "platform/rtl/System.h"

struct TFfmpegVideoStream {
  String Codec;
  bool HasSize = false;
  String Width, Height;
  String FrameRate;
};

struct TFfmpegAudioStream {
  String Codec;
  bool HasSampleRate = false;
  String SampleRate;
};

bool ReadFfmpegVideoStream(const String& Line, TFfmpegVideoStream& Stream);
bool ReadFfmpegAudioStream(const String& Line, TFfmpegAudioStream& Stream);
