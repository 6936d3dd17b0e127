// Process-wide settings of the operating-system services, made once: SIGPIPE is ignored, so
// that writing to a pipe whose reader is gone fails with ERROR_NO_DATA instead of ending the
// program. The library calls it itself before its first pipe, process or socket; calling it
// again does nothing.
#pragma once

namespace qv::os {

void OsInitialize();

}  // namespace qv::os
