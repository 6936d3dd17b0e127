// Floating-point faults of the runtime library. Arithmetic that the class library does in
// floating point with its exceptions on (a division by zero raises instead of giving an
// infinity) raises these explicitly.
#pragma once

#include "platform/rtl/Exceptions.h"

QV_DECLARE_EXCEPTION(EMathError, Exception);
QV_DECLARE_EXCEPTION(EZeroDivide, EMathError);

// The class library's text of a division by zero.
inline constexpr const char* SZeroDivide = "Floating point division by zero";
