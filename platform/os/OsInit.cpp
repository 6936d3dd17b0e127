#include "platform/os/OsInit.h"

#include <csignal>
#include <mutex>

namespace qv::os {

void OsInitialize()
{
  static std::once_flag Once;
  std::call_once(Once, [] {
    struct sigaction Action {};
    Action.sa_handler = SIG_IGN;
    sigemptyset(&Action.sa_mask);
    sigaction(SIGPIPE, &Action, nullptr);
  });
}

namespace {
// The library sets itself up when the program loads it, so that even a pipe made by another
// layer does not end the program with SIGPIPE.
const bool Initialised = (OsInitialize(), true);
}  // namespace

}  // namespace qv::os
