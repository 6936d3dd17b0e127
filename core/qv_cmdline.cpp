#include "core/qv_cmdline.h"

#include <vector>

#include "core/MainForm.h"
#include "platform/os/CommandLine.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"

using qv::os::QuoteCommandLinePath;

String ReplaceFirst(const String& S, const String& Old, const String& New) { return StringReplace(S, Old, New); }
bool TextContains(const String& S, const String& Part) { return S.find(Part) != String::npos; }

size_t FindInOptions(const String& Line, const String& Text, bool ToolFirst)
{
  // Quoted[i]: character i belongs to a quoted part (its quotes included) that is a name.
  std::vector<bool> Quoted(Line.size(), false);
  bool In = false, FirstArgument = ToolFirst;
  for (size_t I = 0; I < Line.size(); ++I) {
    const char C = Line[I];
    if (!In && (C == ' ' || C == '\t')) FirstArgument = false;
    if (C == '"') {
      Quoted[I] = !FirstArgument;
      In = !In;
      continue;
    }
    Quoted[I] = In && !FirstArgument;
  }
  for (auto At = Line.find(Text); At != String::npos; At = Line.find(Text, At + 1)) {
    bool Clear = true;
    for (size_t I = At; I < At + Text.size() && Clear; ++I) Clear = !Quoted[I];
    if (Clear) return At;
  }
  return String::npos;
}

String ReplaceFirstInOptions(const String& Line, const String& Old, const String& New, bool ToolFirst)
{
  const auto At = FindInOptions(Line, Old, ToolFirst);
  if (At == String::npos) return Line;
  String R = Line;
  R.replace(At, Old.size(), New);
  return R;
}

namespace {

// Inserts Text after the first occurrence of After in the line's options; S unchanged when
// After is absent there.
String InsertAfterFirst(const String& S, const String& After, const String& Text)
{
  const auto At = FindInOptions(S, After, true);
  if (At == String::npos) return S;
  String R = S;
  R.insert(At + After.size(), Text);
  return R;
}

// The first double quote followed by a blank gets " -demuxer lavf " right after the quote.
String DemuxerEdit(const String& Line)
{
  const auto At = Line.find("\" ");
  if (At == String::npos) return Line;
  String R = Line;
  R.insert(At + 1, " -demuxer lavf ");
  return R;
}

}  // namespace

String ToolPath(const String& ExeName) { return QuoteCommandLinePath(WorkFolder + ExeName); }

String PartOutputFile(const TPartLineInputs& In)
{
  if (In.Tool == "mencoder" && In.Extension == "mp4x") return In.OutFolder + "temp." + In.Extension;
  String Name = In.OutFolder + In.OutName;
  if (In.PartCount > 1) Name += In.Tool == "ffmpeg" ? IntToStr(In.PartNumber) : Format("%2.2d", In.PartNumber);
  return Name + "." + In.Extension;
}

String BuildPartCommandLine(const TPartLineInputs& In)
{
  const String Out = QuoteCommandLinePath(PartOutputFile(In));
  if (In.Tool == "mencoder") {
    const bool Several = In.PartCount > 1, Mp4x = In.Extension == "mp4x";
    const String Input = Several ? ReplaceFirstInOptions(In.Input, "dvdnav:", "dvd:", false) : In.Input;
    const String Head = ToolPath("mencoder.exe") + " " + Input + In.PartText + " ";
    const String Full = Head + In.MencoderRateOption + " " + In.CropFilterText + In.FilterChain + " " + In.Options +
                        " " + In.InputOptions + " -o " + Out;
    const String Raw = Head + In.Options + " " + In.InputOptions + " -o " + Out;
    String Line;
    if (Several || Mp4x)
      Line = TextContains(Full, "-of rawaudio") ? Raw : Full;
    else
      Line = TextContains(Full, "rawaudio") ? Raw : Full;
    if (!Several && TextContains(In.PartText, "chapter")) Line = ReplaceFirstInOptions(Line, "dvdnav:", "dvd:", true);
    return Line;
  }
  if (In.Tool == "wmencoder") {
    const String Head = ToolPath("qvcscript.exe") + " " + QuoteCommandLinePath(WorkFolder + "wmcmd.vbs") + " -input " +
                        In.TranscodeInput + " ";
    if (In.PartCount > 1)
      return Head + In.Options + " " + In.ClipOptionsText + " " + In.WmeOptionText + " -output " + Out;
    return Head + In.ClipOptionsText + " " + In.WmeOptionText + " " + In.Options + " -output " + Out;
  }
  // ffmpeg
  return ToolPath("ffmpeg.exe") + " -i " + In.TranscodeInput + " " + In.Options + " " + In.CropOptionsText + " " +
         In.FfmpegOptionText + " " + Out;
}

String ApplyStartEdits(const String& Line, const TStartEditOptions& O)
{
  // Every edit changes the tool and its options, never a quoted name on the line.
  auto Opt = [](const String& S, const String& Old, const String& New) { return ReplaceFirstInOptions(S, Old, New, true); };
  String L = Line;
  if (O.NicerSubtitles) L = Opt(L, "dvdnav:", "dvd:");
  if (O.FirstPassOfPair) L = Opt(L, ":mpeg=4:object=2:raw", "");
  if (O.FasterBuild) {
    if (TextContains(LowerCase(L), "mencoder.exe") && !TextContains(LowerCase(L), "vcodec=wmv"))
      L = Opt(L, "mencoder.exe", "mencoder2.exe");
    if (TextContains(LowerCase(L), "mencoder2.exe") && TextContains(LowerCase(L), ".dvr-ms"))
      L = Opt(L, "mencoder2.exe", "mencoder.exe");
    if (TextContains(LowerCase(L), "vcodec=mp")) L = Opt(L, "-lavcopts ", "-lavcopts threads=" + O.CoreCount + ":");
    if (TextContains(LowerCase(L), "-xvidencopts"))
      L = Opt(L, "-xvidencopts ", "-xvidencopts threads=" + O.CoreCount + ":");
  }
  if (O.SourceKind == "VIDEO*") {
    if (!TextContains(LowerCase(L), ".ts\"")) L = DemuxerEdit(L);
    if (!O.SourceFrameRate.empty()) {
      L = InsertAfterFirst(L, "mencoder.exe\" ", "-fps " + O.SourceFrameRate + " ");
      L = InsertAfterFirst(L, "mencoder2.exe\" ", "-fps " + O.SourceFrameRate + " ");
    }
  }
  if (TextContains(LowerCase(L), "ffmpeg.exe") && O.FfmpegAddon && !TextContains(L, "-vcodec h264") &&
      !TextContains(L, "-vcodec xvid"))
    L = Opt(L, "ffmpeg.exe", "ffmpeg2.exe");
  return L;
}

String ApplyRestartEdits(const String& Line, const TStartEditOptions& O)
{
  auto Opt = [](const String& S, const String& Old, const String& New) { return ReplaceFirstInOptions(S, Old, New, true); };
  String L = Line;
  if (TextContains(LowerCase(L), "dvd-device")) L = StripVideoTs(L, vtAfterDriveRoot);
  if (O.FasterBuild && TextContains(L, "mencoder.exe")) L = Opt(L, "mencoder.exe", "mencoder2.exe");
  if (O.SourceKind == "VIDEO*") L = DemuxerEdit(L);
  if (TextContains(L, "ffmpeg.exe") && O.FfmpegAddon) L = Opt(L, "ffmpeg.exe", "ffmpeg2.exe");
  return L;
}

String TivoCommandLine(const String& Key, const String& OutputFile, const String& Input)
{
  // The key is the user's text: one argument whatever it holds.
  return ToolPath("tivo.exe") + " --mak " + qv::os::JoinCommandLine({Key}) + " --out " + QuoteCommandLinePath(OutputFile) +
         " " + Input;
}

String InbetweenCommandLine(const String& Input, const String& PartText, const String& CropFilterText,
                            const String& Options, const String& OutputBase)
{
  String L = ToolPath("mencoder.exe") + " " + Input + PartText + " " + CropFilterText + "harddup " + Options + " -o " +
             QuoteCommandLinePath(OutputBase + ".avi");
  if (TextContains(L, "chapter") && TextContains(L, "dvdnav")) L = ReplaceFirstInOptions(L, "dvdnav", "dvd", true);
  return L;
}

String ApplyInbetweenRestartEdits(const String& Line, const TStartEditOptions& O)
{
  String L = Line;
  if (!TextContains(LowerCase(L), ".vob")) L = StripVideoTs(L, vtAfterDriveRoot);
  if (O.FasterBuild) L = ReplaceFirstInOptions(L, "mencoder.exe", "mencoder2.exe", true);
  if (TextContains(L, "ffmpeg.exe") && O.FfmpegAddon) L = ReplaceFirstInOptions(L, "ffmpeg.exe", "ffmpeg2.exe", true);
  if (O.SourceKind == "VIDEO*") L = DemuxerEdit(L);
  return L;
}

String CompatibilityFixCommandLine(const String& TemporaryFile, const String& FinalFile)
{
  return ToolPath("mp4box.exe") + " -add " + QuoteCommandLinePath(TemporaryFile) + " " + QuoteCommandLinePath(FinalFile);
}

String UniqueFileName(const String& Folder, const String& Name, const String& Extension)
{
  for (int N = 1; N <= 99; ++N) {
    const String Candidate = Name + "(" + IntToStr(N) + ")";
    if (!FileExists(Folder + Candidate + Extension)) return Candidate;
  }
  return Name + "(99)";
}
