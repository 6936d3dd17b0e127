// A file's attributes as a whole, to carry them from one file to another (a copy made by other
// means than CopyFile). Here the attributes are the permission bits (read, write, execute for
// owner, group and others, with set-id and sticky bits), which is what a Linux file has in
// place of the read-only, hidden and archive flags.
#pragma once

#include "platform/rtl/System.h"

constexpr Cardinal INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// The attributes of FileName (a link is followed), INVALID_FILE_ATTRIBUTES when it is missing.
Cardinal GetFileAttributes(const String& FileName);
// Gives FileName the attributes read by GetFileAttributes; false when that fails.
bool SetFileAttributes(const String& FileName, Cardinal Attributes);
