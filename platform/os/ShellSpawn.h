// Starting helper programs for the shell services (opener, unmount, power commands): an argv
// array, never a shell command string; no terminal; the program looked up on PATH when its
// name has no "/".
#pragma once

#include <vector>

#include "platform/rtl/System.h"

namespace qvshell {

// Starts Argv in Directory (the current one when empty) and waits for it. The exit code, or -1
// with errno set when it could not be started, or 128 + the signal that ended it.
int SpawnAndWait(const std::vector<String>& Argv, const String& Directory);

// Starts Argv without waiting; a reaper thread collects it when it ends. 0, or the errno of
// the failed start (ENOENT when the program is not found).
int SpawnDetached(const std::vector<String>& Argv, const String& Directory);

// The program's full path: Name itself when it has a "/", else the first executable regular
// file of that name in an absolute PATH folder (empty and relative entries, which would mean
// the current folder, are skipped); "" when there is none.
String FindProgram(const String& Name);

}  // namespace qvshell
