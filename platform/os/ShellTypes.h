// The COM result type and the shell's common constants, shared by the shell services.
#pragma once

#include <cstddef>

#include "platform/rtl/WinTypes.h"

using HRESULT = LONG;
using SIZE_T = std::size_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr bool SUCCEEDED(HRESULT Result) { return Result >= 0; }
constexpr bool FAILED(HRESULT Result) { return Result < 0; }
// The HRESULT of a Win32 error code.
constexpr HRESULT HRESULT_FROM_WIN32(DWORD Error)
{
  return Error == 0 ? S_OK : static_cast<HRESULT>((Error & 0xFFFFu) | 0x80070000u);
}
