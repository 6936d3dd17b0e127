// TBits: a growable array of bits.
#pragma once

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"

QV_DECLARE_EXCEPTION(EBitsError, Exception);

class TBits : public TObject {
public:
  int GetSize() const { return FSize; }
  // Grows with cleared bits or drops the bits past Value; EBitsError "Bits index out of
  // range" for a negative size.
  void SetSize(int Value);
  // EBitsError for a negative index; reading past the end answers false.
  bool GetBit(int Index) const;
  // EBitsError for a negative index; writing past the end grows the array.
  void SetBit(int Index, bool Value);
  bool operator[](int Index) const { return GetBit(Index); }
  // Index of the first cleared bit (Size when every bit is set).
  int OpenBit() const;

private:
  std::vector<bool> FBits;
  int FSize = 0;
};
