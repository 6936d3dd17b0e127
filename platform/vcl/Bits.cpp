#include "platform/vcl/Bits.h"

namespace {
constexpr const char* SBitsIndexError = "Bits index out of range";
}

void TBits::SetSize(int Value) {
  if (Value < 0) throw EBitsError(SBitsIndexError);
  FBits.resize(static_cast<size_t>(Value), false);
  FSize = Value;
}

bool TBits::GetBit(int Index) const {
  if (Index < 0) throw EBitsError(SBitsIndexError);
  return Index < FSize && FBits[static_cast<size_t>(Index)];
}

void TBits::SetBit(int Index, bool Value) {
  if (Index < 0) throw EBitsError(SBitsIndexError);
  if (Index >= FSize) SetSize(Index + 1);
  FBits[static_cast<size_t>(Index)] = Value;
}

int TBits::OpenBit() const {
  for (int I = 0; I < FSize; ++I)
    if (!FBits[static_cast<size_t>(I)]) return I;
  return FSize;
}
