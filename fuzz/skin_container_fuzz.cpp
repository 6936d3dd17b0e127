// Feeds arbitrary bytes to the skin loader: as the stored skin's zlib stream (first byte even),
// or as the inflated payload (first byte odd), which is deflated first so that the fuzzer
// reaches the picture and text readers behind the decompression.
#include <cstddef>
#include <cstdint>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/ZCompress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  if (Size < 1)
    return 0;
  TskCompressedStoredSkin stored(nullptr);
  if (Data[0] % 2 == 0) {
    stored.SetCompressedData(Data + 1, Size - 1);
  } else {
    TMemoryStream payload;
    payload.WriteBuffer(Data + 1, static_cast<Int64>(Size - 1));
    payload.SetPosition(0);
    TMemoryStream packed;
    ZCompressStream(&payload, &packed, 1);
    stored.SetCompressedData(packed.GetMemory(), static_cast<std::size_t>(packed.GetSize()));
  }
  TskSkinData data(nullptr);
  data.SetCompressedStoredSkin(&stored);
  // A skin either loaded or is empty; nothing half read stays.
  if (data.Empty && (!data.ControlList.empty() || !data.ActivePictures.empty()))
    __builtin_trap();
  return 0;
}
