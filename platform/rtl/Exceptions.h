// The exception family of the runtime library. Every exception carries a message text;
// component layers raise these with the class library's own texts (see RtlConsts.h).
#pragma once

#include <exception>

#include "platform/rtl/Format.h"
#include "platform/rtl/System.h"

class Exception : public TObject, public std::exception {
public:
  explicit Exception(const String& Msg) : FMessage(Msg) {}
  // Formats the message: Exception("List index out of bounds (%d)", {5}).
  Exception(const String& Fmt, const TVarRecs& Args);

  const String& Message() const { return FMessage; }
  void SetMessage(const String& Value) { FMessage = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  String FMessage;
  int FHelpContext = 0;
};

#define QV_DECLARE_EXCEPTION(Name, Base)  \
  class Name : public Base {              \
  public:                                 \
    using Base::Base;                     \
  }

QV_DECLARE_EXCEPTION(EAbort, Exception);
QV_DECLARE_EXCEPTION(EConvertError, Exception);
QV_DECLARE_EXCEPTION(EListError, Exception);
QV_DECLARE_EXCEPTION(EStringListError, Exception);
QV_DECLARE_EXCEPTION(EHeapException, Exception);
QV_DECLARE_EXCEPTION(EOutOfMemory, EHeapException);
QV_DECLARE_EXCEPTION(EStreamError, Exception);
QV_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
QV_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
QV_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
QV_DECLARE_EXCEPTION(EFilerError, EStreamError);
QV_DECLARE_EXCEPTION(EReadError, EFilerError);
QV_DECLARE_EXCEPTION(EWriteError, EFilerError);
QV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
// A typecast to a class the object is not of ("Invalid class typecast").
QV_DECLARE_EXCEPTION(EInvalidCast, Exception);
QV_DECLARE_EXCEPTION(EInvalidPointer, EHeapException);
QV_DECLARE_EXCEPTION(EThread, Exception);

// An input/output error with its error code.
class EInOutError : public Exception {
public:
  using Exception::Exception;
  int ErrorCode = 0;
};

// A failed call to the operating system, with the system's error code.
class EOSError : public Exception {
public:
  using Exception::Exception;
  std::uint32_t ErrorCode = 0;
};

// Raises the silent exception that unwinds without a message being shown.
[[noreturn]] void Abort();

// The calling thread's last system error code: always a Windows error code (ERROR_...), as
// the callers compare it; a failed system call's errno is translated (Win32ErrorOfErrno), so
// an errno value and a Windows code never share it.
std::uint32_t GetLastError();
void SetLastError(std::uint32_t ErrorCode);

// The Windows error code that stands for an errno value (ENOENT: 2, EACCES: 5, ENOSPC: 112 ...).
std::uint32_t Win32ErrorOfErrno(int Errno);

// The system's text for a Windows error code ("The system cannot find the file specified.").
String SysErrorMessage(std::uint32_t ErrorCode);

// Raises EOSError for the last system error (or the given one): "System Error.  Code: 2."
// followed by CR LF and the system's text; code 0 gives "A call to an OS function failed".
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(std::uint32_t ErrorCode);
