// Whether another process uses a file the way the Windows exclusive open (no sharing) would
// fail on: it has the file open for writing, or runs it as its program. Only the processes the
// caller may inspect are seen (those of the same user), which are the ones that matter for
// files of the user's own folders.
#pragma once

#include "platform/rtl/System.h"

// True when a process other than the caller has FileName open for writing (or reading and
// writing) or runs it as its executable. False for a missing file.
bool FileUsedByOtherProcess(const String& FileName);

// True when A and B name one file: the same path once links, "." and ".." are resolved (also
// for a file that does not exist yet), or two existing names of one file (hard links).
bool SameFileOnDisk(const String& A, const String& B);
