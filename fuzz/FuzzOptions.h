// Options every fuzzer of this folder starts with: a per-input time-out of 10 seconds, so that a
// freeze is reported as a finding instead of hiding behind libFuzzer's default of 20 minutes.
// An option given on the command line wins.
#pragma once

#include <cstring>
#include <vector>

inline void AddDefaultFuzzOptions(int* Argc, char*** Argv)
{
  static const char* const Defaults[] = {"-timeout=10"};
  static std::vector<char*> Args;
  Args.assign(*Argv, *Argv + *Argc);
  for (const char* Option : Defaults) {
    const std::size_t Name = std::strchr(Option, '=') - Option + 1;
    bool Given = false;
    for (int I = 1; I < *Argc; ++I) Given = Given || std::strncmp((*Argv)[I], Option, Name) == 0;
    // Options go before the corpus folders; libFuzzer reads "-name=value" wherever it stands.
    if (!Given) Args.insert(Args.begin() + 1, const_cast<char*>(Option));
  }
  Args.push_back(nullptr);
  *Argc = static_cast<int>(Args.size()) - 1;
  *Argv = Args.data();
}

// Every fuzzer here calls this from its LLVMFuzzerInitialize.
#define QV_FUZZ_DEFAULT_OPTIONS                                  \
  extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) \
  {                                                              \
    AddDefaultFuzzOptions(Argc, Argv);                           \
    return 0;                                                    \
  }
