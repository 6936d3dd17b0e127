// The tool runs of the frame grabs, the batch crop detection and the thumbnail, and the tool
// swaps applied to their command lines.
//
// RunPreviewTool: Edit1 shows the line, the main runner (XcCreateProcess1) starts it in the
// work folder with StallTicks reset and ToolRunning set, the crop watchdog croptimer is on
// while WaitForTool waits for the end (run control's handlers clear ToolRunning when the tool
// ends, and the watchdog's ticks kill a silent tool). A line that cannot be started leaves
// ToolRunning clear and the watchdog off; whether the tool was started.
//
// The swaps change only the tool's own name, the first argument of the line; a file name
// further on that happens to hold a tool's name is never touched. Which swap applies is
// decided on the whole lower-cased line:
// - ffmpeg: "ffmpeg.exe" becomes "ffmpeg2.exe" when FfmpegAddonPresent is set;
// - mencoder, in this order: "mencoder.exe" becomes "mencoder2.exe" when HastekitPresent is set
//   and "Enable Hastekit" (mencoder2) is ticked; "mencoder2.exe" becomes "mencoder.exe" again
//   when the line holds ".dvr-ms", or when the source's kind (Kind) is "VIDEO*".
#pragma once

#include "platform/rtl/System.h"

bool RunPreviewTool(const String& CommandLine);

String ApplyFfmpegSwap(const String& CommandLine);
String ApplyMencoderSwaps(const String& CommandLine, const String& Kind);
