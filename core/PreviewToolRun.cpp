#include "core/PreviewToolRun.h"

#include "core/MainForm.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

namespace {

// The length of the line's first argument (a quoted part counts whole).
std::size_t ToolPartLength(const String& Line)
{
  bool Quoted = false;
  std::size_t I = 0;
  while (I < Line.size() && (Line[I] == ' ' || Line[I] == '\t')) ++I;
  for (; I < Line.size(); ++I) {
    if (Line[I] == '"')
      Quoted = !Quoted;
    else if (!Quoted && (Line[I] == ' ' || Line[I] == '\t'))
      break;
  }
  return I;
}

// The first Old in the tool part becomes New (case-sensitive); the rest stays.
String ReplaceToolName(const String& Line, const String& Old, const String& New)
{
  const std::size_t End = ToolPartLength(Line);
  const std::size_t At = Line.find(Old);
  if (At == String::npos || At + Old.size() > End) return Line;
  return Line.substr(0, At) + New + Line.substr(At + Old.size());
}

bool Holds(const String& Line, const char* Lower)
{
  return Pos(Lower, LowerCase(Line)) > 0;
}

}  // namespace

String ApplyFfmpegSwap(const String& CommandLine)
{
  if (Holds(CommandLine, "ffmpeg.exe") && FfmpegAddonPresent)
    return ReplaceToolName(CommandLine, "ffmpeg.exe", "ffmpeg2.exe");
  return CommandLine;
}

String ApplyMencoderSwaps(const String& CommandLine, const String& Kind)
{
  String Line = CommandLine;
  if (HastekitPresent && Form1->mencoder2->GetChecked() && Holds(Line, "mencoder.exe"))
    Line = ReplaceToolName(Line, "mencoder.exe", "mencoder2.exe");
  if (Holds(Line, "mencoder2.exe") && Holds(Line, ".dvr-ms")) Line = ReplaceToolName(Line, "mencoder2.exe", "mencoder.exe");
  if (Kind == "VIDEO*") Line = ReplaceToolName(Line, "mencoder2.exe", "mencoder.exe");
  return Line;
}

bool RunPreviewTool(const String& CommandLine)
{
  Form1->Edit1->SetText(CommandLine);
  TXcCreateProcess* Runner = Form1->XcCreateProcess1;
  Runner->SetCurrentDirectory(WorkFolder);
  Runner->SetCommandLine(CommandLine);
  StallTicks = 0;
  ToolRunning = true;
  Form1->croptimer->SetEnabled(true);
  try {
    Runner->StartProcess();
  } catch (const Exception&) {
    ToolRunning = false;
    Form1->croptimer->SetEnabled(false);
    return false;
  }
  WaitForTool();
  Form1->croptimer->SetEnabled(false);
  return true;
}
