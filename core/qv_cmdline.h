// The command lines of a conversion: the encoder line of every part of a job (mencoder, the
// Windows Media Encoder script, ffmpeg), the edits made to a line just before it starts and
// before its single restart, and the lines of the side steps (TiVo decode, intermediate AVI,
// MP4 rewrap). Pure text work: nothing here starts a tool or touches a table.
//
// Every tool path and every output path goes through qv::os::QuoteCommandLinePath, so a name
// (blanks, double quotes, a leading "-", newlines) reaches the tool as exactly one argument.
// Inputs that arrive already quoted (job column 6, TranscodeInput, the job's options) are put
// in as they stand. Every text edit replaces the first occurrence only and is case-sensitive;
// tests said to be "on the lower-cased line" look at a lower-cased copy.
#pragma once

#include "platform/rtl/System.h"

// What one part's line is made of (job columns and the driver's per-job texts).
struct TPartLineInputs {
  String Tool;             // job column 1
  String Options;          // column 2
  String Extension;        // column 3
  String InputOptions;     // column 4
  String Input;            // column 6
  String OutFolder;        // column 7
  String OutName;          // column 8
  String PartText;         // the part's range text (a line of splitbox)
  int PartNumber = 1;      // k
  int PartCount = 1;       // n
  String MencoderRateOption;
  String FilterChain;
  String CropFilterText;   // " -vf crop...," or " -vf " or empty
  String ClipOptionsText;
  String CropOptionsText;
  String WmeOptionText;
  String FfmpegOptionText;
  String TranscodeInput;   // the WME/ffmpeg input (column 6 or the intermediate file)
};

// The tool's path in the work folder, quoted ("mencoder.exe" ...).
String ToolPath(const String& ExeName);
// The encoder line of one part.
String BuildPartCommandLine(const TPartLineInputs& In);
// The output file a part writes (without quotes): c7 c8 [k] "." c3, or c7 "temp." c3 for "mp4x".
String PartOutputFile(const TPartLineInputs& In);

// The first Text in a command line that is not part of a quoted name (String::npos when none).
// With ToolFirst the line's first argument is the tool, whose quoted path counts as options (its
// name is what the alternative tool edits change); every other quoted part is a name.
size_t FindInOptions(const String& Line, const String& Text, bool ToolFirst);
// Line with the first such Old replaced by New.
String ReplaceFirstInOptions(const String& Line, const String& Old, const String& New, bool ToolFirst);

// The switches that change a line just before it starts. They change only the tool and the
// options: a quoted file name holding "dvdnav:", "-lavcopts " or a tool's name stays as it is.
struct TStartEditOptions {
  bool NicerSubtitles = false;    // "dvdnav" ticked
  bool FirstPassOfPair = false;   // job column 0 is "Pass1"
  bool FasterBuild = false;       // HastekitPresent and "Enable Hastekit" ticked
  String CoreCount = "2";         // the corecount spin edit's text
  String SourceKind;              // source column 1
  String SourceFrameRate;         // source column 9
  bool FfmpegAddon = false;       // FfmpegAddonPresent
};
String ApplyStartEdits(const String& Line, const TStartEditOptions& Options);
// The edits before the restart of a stalled encoder run.
String ApplyRestartEdits(const String& Line, const TStartEditOptions& Options);

// Side steps.
String TivoCommandLine(const String& Key, const String& OutputFile, const String& Input);
// The intermediate AVI's line: input, part, crop filter (" -vf ..." ), "harddup ", options,
// output base + ".avi".
String InbetweenCommandLine(const String& Input, const String& PartText, const String& CropFilterText,
                            const String& Options, const String& OutputBase);
// The edits before the restart of a stalled intermediate run.
String ApplyInbetweenRestartEdits(const String& Line, const TStartEditOptions& Options);
String CompatibilityFixCommandLine(const String& TemporaryFile, const String& FinalFile);

// A free numbered base name: Name "(" n ")" for the first n in 1..99 whose Folder + that +
// Extension does not exist; n = 99 when all do.
String UniqueFileName(const String& Folder, const String& Name, const String& Extension);

// Text helpers shared by the conversion code.
String ReplaceFirst(const String& S, const String& Old, const String& New);
bool TextContains(const String& S, const String& Part);
