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
