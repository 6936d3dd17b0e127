#include "platform/os/CommandLine.h"

#include "platform/rtl/Paths.h"

namespace qv::os {

std::vector<String> SplitCommandLine(const String& CommandLine)
{
  std::vector<String> Result;
  String Current;
  bool InArgument = false;  // something (maybe an empty quoted part) has started an argument
  bool Quoted = false;
  const std::size_t N = CommandLine.size();
  for (std::size_t I = 0; I < N; ++I) {
    const char C = CommandLine[I];
    if (Quoted) {
      if (C == '"') {
        if (I + 1 < N && CommandLine[I + 1] == '"') {
          Current += '"';  // "" inside quotes: one literal quote
          ++I;
        } else {
          Quoted = false;
        }
      } else {
        Current += C;
      }
    } else if (C == ' ' || C == '\t') {
      if (InArgument) {
        Result.push_back(Current);
        Current.clear();
        InArgument = false;
      }
    } else if (C == '"') {
      Quoted = true;
      InArgument = true;
    } else {
      Current += C;
      InArgument = true;
    }
  }
  if (InArgument)
    Result.push_back(Current);
  return Result;
}

String JoinCommandLine(const std::vector<String>& Arguments)
{
  String Result;
  for (const String& Argument : Arguments) {
    if (!Result.empty())
      Result += ' ';
    const bool NeedsQuotes =
        Argument.empty() || Argument.find_first_of(" \t\"") != String::npos;
    if (!NeedsQuotes) {
      Result += Argument;
      continue;
    }
    Result += '"';
    for (char C : Argument) {
      if (C == '"')
        Result += "\"\"";
      else
        Result += C;
    }
    Result += '"';
  }
  return Result;
}

String QuoteCommandLinePath(const String& Path)
{
  String Full = Path;
  if (!Full.empty() && Full[0] != '/') {
    // Only "/" separates here: a current folder may end in a literal "\\".
    const String Current = GetCurrentDir();
    Full = (Current.empty() || Current.back() != '/' ? Current + "/" : Current) + Full;
  }
  String Result = "\"";
  for (char C : Full) {
    if (C == '"')
      Result += "\"\"";
    else
      Result += C;
  }
  Result += '"';
  return Result;
}

}  // namespace qv::os
