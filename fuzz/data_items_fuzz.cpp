// Feeds arbitrary bytes to the property stream reader of a data item list (items, sub-item
// lists and extensions), then writes what it read, reads that into a fresh list and checks that
// writing it again gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "extctrls/XcDataItemExtensions.h"
#include "platform/rtl/Streams.h"

namespace {

String WriteOf(TXcDataItemsList* List)
{
  TStringStream Out;
  TXcFilerWriter Writer(&Out);
  Writer.WriteProperties(*List);
  Writer.WriteListEnd();
  return Out.GetDataString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  TIntf<IXcDataItems> First(XcCreate<TXcDataItemsList>(nullptr));
  auto* List = static_cast<TXcDataItemsList*>(First.Get());
  TStringStream In(String(reinterpret_cast<const char*>(Data), Size));
  try {
    TXcFilerReader Reader(&In);
    Reader.ReadProperties(*List);
  } catch (const Exception&) {
    // Refused input; whatever was read so far must still write and free cleanly.
    WriteOf(List);
    return 0;
  }
  const String Written = WriteOf(List);
  TIntf<IXcDataItems> Second(XcCreate<TXcDataItemsList>(nullptr));
  auto* Again = static_cast<TXcDataItemsList*>(Second.Get());
  TStringStream Back(Written);
  TXcFilerReader Reader(&Back);
  Reader.ReadProperties(*Again);
  if (Again->GetCount() != List->GetCount()) std::abort();
  if (WriteOf(Again) != Written) std::abort();
  return 0;
}
