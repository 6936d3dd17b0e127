#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <cstring>
#include <string>

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

std::uint32_t Win32ErrorOfErrno(int Errno)
{
  switch (Errno) {
  case 0: return 0;
  case ENOENT: return 2;        // ERROR_FILE_NOT_FOUND
  case ENOTDIR: return 3;       // ERROR_PATH_NOT_FOUND
  case EMFILE:
  case ENFILE: return 4;        // ERROR_TOO_MANY_OPEN_FILES
  case EACCES:
  case EPERM:
  case EISDIR:
  case ELOOP: return 5;         // ERROR_ACCESS_DENIED
  case EBADF: return 6;         // ERROR_INVALID_HANDLE
  case ENOMEM: return 8;        // ERROR_NOT_ENOUGH_MEMORY
  case EXDEV: return 17;        // ERROR_NOT_SAME_DEVICE
  case EROFS: return 19;        // ERROR_WRITE_PROTECT
  case ENODEV:
  case ENXIO:
  case ENOMEDIUM: return 21;    // ERROR_NOT_READY
  case EBUSY:
  case ETXTBSY: return 32;      // ERROR_SHARING_VIOLATION
  case ENOSYS:
  case EOPNOTSUPP: return 50;   // ERROR_NOT_SUPPORTED
  case EINVAL:
  case ERANGE: return 87;       // ERROR_INVALID_PARAMETER
  case EPIPE: return 109;       // ERROR_BROKEN_PIPE
  case ENOSPC:
  case EDQUOT:
  case EFBIG: return 112;       // ERROR_DISK_FULL
  case ENOTEMPTY: return 145;   // ERROR_DIR_NOT_EMPTY
  case EAGAIN: return 170;      // ERROR_BUSY
  case EEXIST: return 183;      // ERROR_ALREADY_EXISTS
  case ENOEXEC: return 193;     // ERROR_BAD_EXE_FORMAT
  case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
  case EINTR:
  case ECANCELED: return 995;   // ERROR_OPERATION_ABORTED
  case EIO: return 1117;        // ERROR_IO_DEVICE
  case EDEADLK: return 1131;    // ERROR_POSSIBLE_DEADLOCK
  case ETIMEDOUT: return 1460;  // ERROR_TIMEOUT
  default: return 31;           // ERROR_GEN_FAILURE
  }
}

String SysErrorMessage(std::uint32_t ErrorCode)
{
  // The last-error value holds Windows codes only (see Win32ErrorOfErrno), so these are the
  // texts; a code without one here is named by its number.
  switch (ErrorCode) {
  case 0: return "The operation completed successfully.";
  case 1: return "Incorrect function.";
  case 2: return "The system cannot find the file specified.";
  case 3: return "The system cannot find the path specified.";
  case 4: return "The system cannot open the file.";
  case 5: return "Access is denied.";
  case 6: return "The handle is invalid.";
  case 8: return "Not enough memory resources are available to process this command.";
  case 15: return "The system cannot find the drive specified.";
  case 17: return "The system cannot move the file to a different disk drive.";
  case 18: return "There are no more files.";
  case 19: return "The media is write protected.";
  case 21: return "The device is not ready.";
  case 24: return "The program issued a command but the command length is incorrect.";
  case 29: return "The system cannot write to the specified device.";
  case 30: return "The system cannot read from the specified device.";
  case 31: return "A device attached to the system is not functioning.";
  case 32: return "The process cannot access the file because it is being used by another process.";
  case 50: return "The request is not supported.";
  case 80: return "The file exists.";
  case 87: return "The parameter is incorrect.";
  case 109: return "The pipe has been ended.";
  case 112: return "There is not enough space on the disk.";
  case 122: return "The data area passed to a system call is too small.";
  case 123: return "The filename, directory name, or volume label syntax is incorrect.";
  case 144: return "The directory is not a subdirectory of the root directory.";
  case 145: return "The directory is not empty.";
  case 170: return "The requested resource is in use.";
  case 183: return "Cannot create a file when that file already exists.";
  case 193: return "The file is not a valid application.";
  case 203: return "The system could not find the environment option that was entered.";
  case 206: return "The filename or extension is too long.";
  case 232: return "The pipe is being closed.";
  case 234: return "More data is available.";
  case 267: return "The directory name is invalid.";
  case 288: return "Attempt to release mutex not owned by caller.";
  case 298: return "Too many posts were made to a semaphore.";
  case 487: return "Attempt to access invalid address.";
  case 995: return "The I/O operation has been aborted because of either a thread exit or an application request.";
  case 1117: return "The request could not be performed because of an I/O device error.";
  case 1131: return "A potential deadlock condition has been detected.";
  case 1132: return "The base address or the file offset specified does not have the proper alignment.";
  case 1200: return "The specified device name is invalid.";
  case 1400: return "Invalid window handle.";
  case 1410: return "Class already exists.";
  case 1411: return "Class does not exist.";
  case 1460: return "This operation returned because the timeout period expired.";
  case 2250: return "This network connection does not exist.";
  default: return "Unknown error (" + std::to_string(ErrorCode) + ").";
  }
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
