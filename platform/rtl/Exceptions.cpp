#include "platform/rtl/Exceptions.h"

#include <cstring>

#include "platform/rtl/RtlConsts.h"

Exception::Exception(const String& Fmt, const TVarRecs& Args) : FMessage(Format(Fmt, Args)) {}

void Abort()
{
  throw EAbort(RtlConsts::SOperationAborted);
}

namespace {
thread_local std::uint32_t LastError = 0;
}

std::uint32_t GetLastError()
{
  return LastError;
}

void SetLastError(std::uint32_t ErrorCode)
{
  LastError = ErrorCode;
}

String SysErrorMessage(std::uint32_t ErrorCode)
{
  // Windows codes that the platform services set where Windows would; they lie above the
  // system's errno values, so they cannot be mistaken for one.
  switch (ErrorCode) {
  case 183: return "Cannot create a file when that file already exists.";
  case 232: return "The pipe is being closed.";
  case 234: return "More data is available.";
  case 1400: return "Invalid window handle.";
  case 1410: return "Class already exists.";
  case 1411: return "Class does not exist.";
  case 1460: return "This operation returned because the timeout period expired.";
  default: break;
  }
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not live in the buffer.
  const char* text = strerror_r(static_cast<int>(ErrorCode), buffer, sizeof buffer);
  return text ? String(text) : String();
}

void RaiseLastOSError()
{
  RaiseLastOSError(GetLastError());
}

void RaiseLastOSError(std::uint32_t ErrorCode)
{
  if (ErrorCode != 0) {
    EOSError error(RtlConsts::SOSError, {static_cast<int>(ErrorCode), SysErrorMessage(ErrorCode)});
    error.ErrorCode = ErrorCode;
    throw error;
  }
  EOSError error(RtlConsts::SUnkOSError);
  throw error;
}
