// System-library support: the exception classes of the system library, lazy binding of
// functions exported by the system's libraries, the environment block for a child process and
// a few string and number services.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

// Binding failures ("Library not found: %s", "Function not found: %s.%s").
QV_DECLARE_EXCEPTION(ESxError, Exception);

// A failed system call: the error code and the system's text for it.
class ESxWin32Error : public ESxError {
public:
  using ESxError::ESxError;
  // Message: ResourceMessage + CR LF + "Win32: <system text> (<code>)", for GetLastError.
  static ESxWin32Error CreateFromLastError(const String& ResourceMessage);
  // The same for subclasses: fills E's message, code and text from GetLastError.
  template <class E>
  static E FromLastError(const String& ResourceMessage)
  {
    E Error("");
    Error.FillFromLastError(ResourceMessage);
    return Error;
  }

  Cardinal GetLastErrorCode() const { return FLastError; }
  const String& GetLastErrorMsg() const { return FLastErrorMsg; }

protected:
  void FillFromLastError(const String& ResourceMessage);

private:
  Cardinal FLastError = 0;
  String FLastErrorMsg;
};

QV_DECLARE_EXCEPTION(ESxStringError, ESxError);
QV_DECLARE_EXCEPTION(ESharedMemError, ESxError);

namespace SxConsts {
inline constexpr const char* RsLibraryNotFound = "Library not found: %s";
inline constexpr const char* RsFunctionNotFound = "Function not found: %s.%s";
inline constexpr const char* RsWin32Prefix = "Win32: %s (%u)";
inline constexpr const char* RsStringsToMultiSzEmpty =
    "String list passed to StringsToMultiSz cannot contain empty strings.";
inline constexpr const char* RsInvalidMMFName = "Invalid MMF name \"%s\"";
inline constexpr const char* RsInvalidMMFEmpty = "The MMF named \"%s\" cannot be created empty";
}  // namespace SxConsts

// The address of Function exported by the system library Module (names as on Windows,
// "kernel32.dll", "PSAPI.dll", compared without case), or nullptr with ESxError raised as
// BindProcAddress describes. Only the functions the program binds at run time are exported.
void* SxLookupProc(const String& Module, const String& Function);

// Binds Variable once: nothing happens when it already holds an address. Raises ESxError
// "Library not found: %s" or "Function not found: %s.%s" (the variable then holds nullptr).
template <class F>
void BindProcAddress(F*& Variable, const String& Module, const String& Function)
{
  if (Variable) return;
  void* Address = nullptr;
  try {
    Address = SxLookupProc(Module, Function);
  } catch (...) {
    Variable = nullptr;
    throw;
  }
  Variable = reinterpret_cast<F*>(Address);
}

// A block of zero-terminated strings ended by one more zero: "A=1\0B=2\0\0". Each line is
// taken up to its first NUL. An empty line raises ESxStringError before anything is made.
char* StringsToMultiSz(TStrings* Strings);
void FreeMultiSzBlock(char*& Block);

// Cuts S before its first NUL character.
void TruncateAtNul(String& S);
// Replaces every OldChar by NewChar; returns how many were replaced (0 for equal characters).
int ReplaceCharInString(String& S, char OldChar, char NewChar);

struct TInt64Halves {
  Cardinal Low = 0;
  Cardinal High = 0;
};
TInt64Halves SplitInt64(Int64 Value);

// Zero-fills Size bytes at Block; nothing for a size of 0 or less.
void ZeroFillMemory(void* Block, Int64 Size);
