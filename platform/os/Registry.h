// The registry stand-in. Linux has no registry: every key the program reads is absent
// (ERROR_FILE_NOT_FOUND), unless the registry file supplies it. The file is an INI file, by
// default "registry.ini" in the program's work folder ($XDG_DATA_HOME/Quelvo3/), one section
// per key with the full key path, root included (long or short root names):
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows Media\Encoder]
//   Version=9.0                                    a text value (REG_SZ)
//   [HKCR\htmlfile\shell\open\command]
//   @="C:\Program Files\Browser\browser.exe" -- "%1"   "@" is the key's default value
//   [HKEY_CURRENT_USER\Software\Example]
//   Count=dword:0000000a                          a 32-bit number (REG_DWORD), hexadecimal
//   Data=hex:01,02,ff                             bytes (REG_BINARY)
//
// One key is provided without the file: when the file's folder (the work folder) holds an
// executable "qvcscript.exe" (the tool adapter's Windows Media Encoder script host),
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows Media\Encoder reads Version=9.0 unless the
// file gives that value itself.
//
// Key and value names are case-insensitive; a key exists when it has a section or a section
// lies below it; the roots always exist. Values are read as they stand after "=" (leading and
// trailing blanks removed). Every call looks at the file's stamp (device, inode, size,
// modification time) and reads it again when it changed, so edits count at once; otherwise
// the contents read last are used. Keys cannot be created or written (the program only
// reads); they open with any access. HKEY_PERFORMANCE_DATA and HKEY_DYN_DATA answer nothing
// (the processor load comes from CpuLoad.h).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

using REGSAM = DWORD;
using PHKEY = HKEY*;

inline HKEY RegistryRootKey(std::uint32_t Value)
{
  // The root keys are the sign-extended 32-bit values, as in the 64-bit Windows headers.
  return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(Value)));
}
inline HKEY const HKEY_CLASSES_ROOT = RegistryRootKey(0x80000000u);
inline HKEY const HKEY_CURRENT_USER = RegistryRootKey(0x80000001u);
inline HKEY const HKEY_LOCAL_MACHINE = RegistryRootKey(0x80000002u);
inline HKEY const HKEY_USERS = RegistryRootKey(0x80000003u);
inline HKEY const HKEY_PERFORMANCE_DATA = RegistryRootKey(0x80000004u);
inline HKEY const HKEY_CURRENT_CONFIG = RegistryRootKey(0x80000005u);
inline HKEY const HKEY_DYN_DATA = RegistryRootKey(0x80000006u);

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// The registry file (a native path); "" restores the default.
void SetRegistryFileName(const String& FileName);
String GetRegistryFileName();
// How often the registry file has been read (parsed) so far.
unsigned RegistryFileReads();

// A value's text from the file as the registry returns it: "dword:" and up to 8 hex digits
// give REG_DWORD (4 bytes, low byte first), "hex:" and a comma list of 1-2 hex digits REG_BINARY,
// anything else (also a malformed number or list) REG_SZ with a terminating zero.
void ParseRegistryValue(const String& Text, DWORD& Type, std::vector<BYTE>& Data);

// ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (no such key), ERROR_INVALID_HANDLE (an unknown or
// closed key). A null or empty SubKey opens the key itself again; a leading "\" is ignored.
LONG RegOpenKeyExA(HKEY Key, LPCSTR SubKey, DWORD Options, REGSAM Desired, PHKEY Result);
// Type and data of a value (ValueName null or "" for the default value). Data may be null to
// ask for the size; ERROR_MORE_DATA with the size needed when Data is too small. Texts come
// with their terminating zero, counted in the size.
LONG RegQueryValueExA(HKEY Key, LPCSTR ValueName, DWORD* Reserved, DWORD* Type, BYTE* Data, DWORD* DataSize);
LONG RegCloseKey(HKEY Key);
inline LONG RegOpenKeyEx(HKEY Key, LPCSTR SubKey, DWORD Options, REGSAM Desired, PHKEY Result)
{
  return RegOpenKeyExA(Key, SubKey, Options, Desired, Result);
}
inline LONG RegQueryValueEx(HKEY Key, LPCSTR ValueName, DWORD* Reserved, DWORD* Type, BYTE* Data, DWORD* DataSize)
{
  return RegQueryValueExA(Key, ValueName, Reserved, Type, Data, DataSize);
}

QV_DECLARE_EXCEPTION(ERegistryException, Exception);

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// The class library's registry object, reading only.
class TRegistry : public TObject {
public:
  explicit TRegistry(REGSAM Access = KEY_ALL_ACCESS);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY GetRootKey() const { return FRootKey; }
  // Closes the current key.
  void SetRootKey(HKEY Value);
  HKEY GetCurrentKey() const { return FCurrentKey; }
  const String& GetCurrentPath() const { return FCurrentPath; }
  REGSAM GetAccess() const { return FAccess; }
  void SetAccess(REGSAM Value) { FAccess = Value; }

  // Key relative to the current key, or to the root with a leading "\". CanCreate cannot make
  // a missing key here: false as for any failure.
  bool OpenKey(const String& Key, bool CanCreate);
  bool OpenKeyReadOnly(const String& Key);
  void CloseKey();
  bool KeyExists(const String& Key);
  bool ValueExists(const String& Name);
  TRegDataType GetDataType(const String& Name);
  // A missing value reads as "". Raises ERegistryException "Invalid data type for '<name>'"
  // for a value that is not text.
  String ReadString(const String& Name);
  // Raises ERegistryException "Invalid data type for '<name>'" for a value that is not a 32-bit
  // number, "Failed to get data for '<name>'" for a missing one.
  Integer ReadInteger(const String& Name);
  bool ReadBool(const String& Name) { return ReadInteger(Name) != 0; }

private:
  bool Open(const String& Key, REGSAM Access);
  HKEY FRootKey;
  HKEY FCurrentKey = nullptr;
  String FCurrentPath;
  REGSAM FAccess;
};
