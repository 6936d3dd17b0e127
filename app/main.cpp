// Quelvo 3: a video converter front end for playback devices.
#include <cstdio>
#include <cstring>

#include <vector>

#include "app/ProgramMain.h"

namespace {

const char* const BuildText = "Build " QV_VERSION;

void PrintUsage(const char* program)
{
  std::printf("Usage: %s [--version] [--help] [file|folder|drive ...]\n", program);
}

}  // namespace

int main(int argc, char** argv)
{
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Quelvo 3 %s\n", BuildText);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintUsage(argv[0]);
      return 0;
    }
  }
  std::vector<String> Args;
  for (int i = 1; i < argc; ++i) Args.push_back(argv[i]);
  return ProgramMain(Args);
}
