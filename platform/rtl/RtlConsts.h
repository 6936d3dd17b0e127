// Message texts of the runtime library's exceptions, as the class library words them.
// Texts with placeholders are Format patterns.
#pragma once

namespace RtlConsts {

// Conversions
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidBoolean = "'%s' is not a valid boolean value";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";

// Lists
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";

// Streams and files
inline constexpr const char* SFCreateErrorEx = "Cannot create file \"%s\". %s";
inline constexpr const char* SFOpenErrorEx = "Cannot open file \"%s\". %s";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
inline constexpr const char* SIniFileInvalidEntry = "Invalid INI file entry: section [%s], key \"%s\"";
inline constexpr const char* SCannotCreateDir = "Unable to create directory";
inline constexpr const char* SInOutError = "I/O error %d";

// System
inline constexpr const char* SOSError = "System Error.  Code: %d.\r\n%s";
inline constexpr const char* SUnkOSError = "A call to an OS function failed";
inline constexpr const char* SOutOfMemory = "Out of memory";
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SThreadCreateError = "Thread creation error: %s";
inline constexpr const char* SThreadError = "Thread Error: %s (%d)";

// Threads and synchronisation objects
inline constexpr const char* SThreadStartError = "Cannot call Start on a running or suspended thread";
inline constexpr const char* SThreadWaitNotStarted = "Cannot call WaitFor on a thread that was not started";
inline constexpr const char* SCheckSynchronizeError =
    "CheckSynchronize called from thread $%x, which is NOT the main thread";
inline constexpr const char* SSyncObjectNotOwned = "Lock released by a thread that does not hold it";
inline constexpr const char* SUnknownException = "Unknown exception";

}  // namespace RtlConsts
