#include "platform/os/FileAttributes.h"

#include <sys/stat.h>

Cardinal GetFileAttributes(const String& FileName)
{
  struct stat st {};
  if (stat(FileName.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
  return static_cast<Cardinal>(st.st_mode & 07777);
}

bool SetFileAttributes(const String& FileName, Cardinal Attributes)
{
  if (Attributes == INVALID_FILE_ATTRIBUTES) return false;
  return chmod(FileName.c_str(), static_cast<mode_t>(Attributes & 07777)) == 0;
}
