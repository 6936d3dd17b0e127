// Small shell helpers of the tests that run the installed tools (ffmpeg to make clips, ffprobe
// to read what a conversion wrote): a file name quoted for the shell whatever bytes it holds,
// the standard output of a command, and where a program is on PATH.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <initializer_list>
#include <string>

#include "platform/os/ToolLinks.h"

namespace qvtest {

// S as one shell word: inside single quotes, each quote written as '\''.
inline std::string ShellQuoted(const std::string& S)
{
  std::string Q = "'";
  for (char C : S) Q += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Q + "'";
}

// Everything Command writes on its standard output (empty when it cannot be started).
inline std::string CommandOutput(const std::string& Command)
{
  std::string Out;
  if (FILE* P = popen(Command.c_str(), "r")) {
    char Buffer[4096];
    size_t N;
    while ((N = fread(Buffer, 1, sizeof Buffer, P)) > 0) Out.append(Buffer, N);
    pclose(P);
  }
  return Out;
}

// The full path of Name on PATH, empty when it is not installed.
inline std::string ProgramOnPath(const char* Name)
{
  const char* Path = getenv("PATH");
  return qv::os::FindProgramOnPath(Name, Path ? Path : "");
}

// The first of Names that is not installed, or nullptr when all are.
inline const char* FirstMissingProgram(std::initializer_list<const char*> Names)
{
  for (const char* Name : Names)
    if (ProgramOnPath(Name).empty()) return Name;
  return nullptr;
}

}  // namespace qvtest
