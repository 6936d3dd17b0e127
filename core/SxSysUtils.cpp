#include "core/SxSysUtils.h"

#include <cstring>
#include <map>

#include "platform/os/ProcessLookup.h"
#include "platform/os/SystemInfo.h"
#include "platform/rtl/StrUtils.h"

void ESxWin32Error::FillFromLastError(const String& ResourceMessage)
{
  FLastError = GetLastError();
  FLastErrorMsg = SysErrorMessage(FLastError);
  SetMessage(Format(ResourceMessage + "\r\n" + SxConsts::RsWin32Prefix,
                    {FLastErrorMsg, static_cast<unsigned>(FLastError)}));
}

ESxWin32Error ESxWin32Error::CreateFromLastError(const String& ResourceMessage)
{
  return FromLastError<ESxWin32Error>(ResourceMessage);
}

namespace {

String LowerAscii(String S)
{
  for (char& C : S)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return S;
}

using TExports = std::map<String, void*>;

// The system libraries and the functions of theirs that the program binds at run time.
const std::map<String, TExports>& SystemLibraries()
{
  static const std::map<String, TExports> Libraries = {
      {"kernel32.dll",
       {
           {"CreateToolhelp32Snapshot", reinterpret_cast<void*>(&CreateToolhelp32Snapshot)},
           {"Process32First", reinterpret_cast<void*>(&Process32First)},
           {"Process32Next", reinterpret_cast<void*>(&Process32Next)},
           {"GetNativeSystemInfo", reinterpret_cast<void*>(&GetNativeSystemInfo)},
           {"GetSystemInfo", reinterpret_cast<void*>(&GetSystemInfo)},
       }},
      {"psapi.dll",
       {
           {"EnumProcesses", reinterpret_cast<void*>(&EnumProcesses)},
           {"GetModuleFileNameExA", reinterpret_cast<void*>(&GetModuleFileNameExA)},
           {"GetModuleBaseNameA", reinterpret_cast<void*>(&GetModuleBaseNameA)},
       }},
  };
  return Libraries;
}

}  // namespace

void* SxLookupProc(const String& Module, const String& Function)
{
  const auto& Libraries = SystemLibraries();
  auto Library = Libraries.find(LowerAscii(Module));
  if (Library == Libraries.end()) throw ESxError(SxConsts::RsLibraryNotFound, {Module});
  auto Export = Library->second.find(Function);
  if (Export == Library->second.end() || !Export->second)
    throw ESxError(SxConsts::RsFunctionNotFound, {Module, Function});
  return Export->second;
}

char* StringsToMultiSz(TStrings* Strings)
{
  const int Count = Strings ? Strings->GetCount() : 0;
  std::size_t Size = 1;
  for (int I = 0; I < Count; ++I) {
    String Line = Strings->Get(I);
    if (Line.empty()) throw ESxStringError(SxConsts::RsStringsToMultiSzEmpty);
    TruncateAtNul(Line);
    Size += Line.size() + 1;
  }
  char* Block = new char[Size];
  char* P = Block;
  for (int I = 0; I < Count; ++I) {
    String Line = Strings->Get(I);
    TruncateAtNul(Line);
    std::memcpy(P, Line.data(), Line.size());
    P += Line.size();
    *P++ = '\0';
  }
  *P = '\0';
  return Block;
}

void FreeMultiSzBlock(char*& Block)
{
  delete[] Block;
  Block = nullptr;
}

void TruncateAtNul(String& S)
{
  const auto Nul = S.find('\0');
  if (Nul != String::npos) S.resize(Nul);
}

int ReplaceCharInString(String& S, char OldChar, char NewChar)
{
  if (OldChar == NewChar) return 0;
  int Count = 0;
  for (char& C : S)
    if (C == OldChar) {
      C = NewChar;
      ++Count;
    }
  return Count;
}

TInt64Halves SplitInt64(Int64 Value)
{
  const auto U = static_cast<UInt64>(Value);
  return {static_cast<Cardinal>(U & 0xFFFFFFFFu), static_cast<Cardinal>(U >> 32)};
}

void ZeroFillMemory(void* Block, Int64 Size)
{
  if (Block && Size > 0) std::memset(Block, 0, static_cast<std::size_t>(Size));
}
