// The settings every fuzzer of the program starts with, ahead of those given on its command
// line (a later flag of the same name wins): a short time-out per input, so that an input that
// freezes a reader is reported like a crash instead of waiting out libFuzzer's 20 minutes, and
// the fuzzer's dictionary (fuzz/<name>.dict, when there is one) of the words its format uses.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#ifndef QV_FUZZ_DICT
#define QV_FUZZ_DICT ""
#endif

namespace {

// Seconds one input may take.
constexpr int FuzzInputTimeout = 10;

std::vector<std::string> Arguments;
std::vector<char*> Pointers;

} // namespace

// A fuzzer that needs set-up of its own (a folder, a display) defines this; it runs once, after
// the defaults are in place.
extern "C" void QvFuzzSetUp() __attribute__((weak));

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
  Arguments.assign(*argv, *argv + *argc);
  std::vector<std::string> defaults = {"-timeout=" + std::to_string(FuzzInputTimeout)};
  if (std::string(QV_FUZZ_DICT) != "")
    defaults.push_back(std::string("-dict=") + QV_FUZZ_DICT);
  Arguments.insert(Arguments.begin() + (Arguments.empty() ? 0 : 1), defaults.begin(), defaults.end());
  for (std::string& argument : Arguments)
    Pointers.push_back(&argument[0]);
  Pointers.push_back(nullptr);
  *argc = static_cast<int>(Arguments.size());
  *argv = Pointers.data();
  if (QvFuzzSetUp)
    QvFuzzSetUp();
  return 0;
}
