#include "tools/adapter/ToolPlan.h"

#include <cctype>

#include "tools/adapter/OptionList.h"
#include "tools/adapter/ToolPlanParts.h"

namespace qv::tools {

namespace {

std::string Lower(std::string S)
{
  for (char& C : S) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return S;
}

TToolPlan MessagePlan(const std::string& Message, int ExitCode)
{
  TToolPlan Plan;
  Plan.Message = Message;
  Plan.MessageExitCode = ExitCode;
  return Plan;
}

// mp4box -add TEMP FINAL: the same rewrap as a stream copy.
TToolPlan TranslateMp4Box(const std::vector<std::string>& Args)
{
  std::vector<std::string> Files;
  for (std::size_t I = 0; I < Args.size(); ++I)
    if (Args[I] == "-add" && I + 1 < Args.size()) Files.push_back(Args[++I]);
    else if (Args[I].empty() || Args[I][0] != '-') Files.push_back(Args[I]);
  if (Files.size() != 2) return MessagePlan("mp4box: expected -add FILE OUTPUT", 2);
  TToolPlan Plan;
  Plan.Output = Files[1];
  Plan.Container = "mp4";
  TToolStep Step;
  Step.Processes.push_back({"ffmpeg",
                            {"-nostdin", "-hide_banner", "-loglevel", "error", "-i", SafePath(Files[0]), "-map", "0",
                             "-c", "copy", "-f", "mp4", "-y", SafePath(Files[1])},
                            {},
                            {},
                            false});
  Plan.Steps.push_back(Step);
  return Plan;
}

std::string QuoteArgument(const std::string& A)
{
  if (!A.empty() && A.find_first_of(" \t\"") == std::string::npos) return A;
  std::string Q = "\"";
  for (char C : A) {
    Q += C;
    if (C == '"') Q += C;
  }
  Q += '"';
  return Q;
}

}  // namespace

TToolPlan TranslateToolCommand(const std::string& ToolName, const std::vector<std::string>& Args,
                               const std::string& TempFolder)
{
  const std::string Name = Lower(ToolName.substr(ToolName.find_last_of('/') + 1));
  if (Name == "mencoder.exe" || Name == "mencoder2.exe") return TranslateMencoder(Args, TempFolder);
  if (Name == "ffmpeg.exe" || Name == "ffmpeg2.exe") return TranslateFfmpeg(Args);
  if (Name == "qvcscript.exe") return TranslateWindowsMediaScript(Args);
  if (Name == "mp4box.exe") return TranslateMp4Box(Args);
  // Never the decoder's key message: the program would ask for the key again and again.
  if (Name == "tivo.exe") return MessagePlan("tivo: no TiVo decoder is available on this system", 1);
  std::string Message = "quelvo3 tool adapter: no tool is known by the name ";
  Message += QuoteArgument(ToolName);
  return MessagePlan(Message, 127);
}

std::string DescribeToolPlan(const TToolPlan& Plan)
{
  std::string Text;
  for (const TToolStep& Step : Plan.Steps) {
    if (!Text.empty()) Text += " ;; ";
    for (std::size_t P = 0; P < Step.Processes.size(); ++P) {
      if (P) Text += " | ";
      Text += Step.Processes[P].Program;
      for (const std::string& A : Step.Processes[P].Args) {
        Text += ' ';
        Text += QuoteArgument(A);
      }
    }
  }
  return Text;
}

}  // namespace qv::tools
