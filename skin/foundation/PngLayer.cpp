// The raw chunk, the chunk lists, the chunk class registry, the chunk CRC and zlib over buffers.
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"

namespace {

// Bytes left in Stream from its position (0 when the size is unknown).
Int64 BytesLeft(TStream* Stream)
{
  const Int64 Left = Stream->GetSize() - Stream->GetPosition();
  return Left > 0 ? Left : 0;
}

void PutBE32(Byte* P, std::uint32_t V)
{
  P[0] = static_cast<Byte>(V >> 24);
  P[1] = static_cast<Byte>(V >> 16);
  P[2] = static_cast<Byte>(V >> 8);
  P[3] = static_cast<Byte>(V);
}

std::uint32_t GetBE32(const Byte* P)
{
  return (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3];
}

// The registered chunk classes, in the order in which names are looked up.
const std::vector<TskPngLayerClass>& ChunkClasses()
{
  static const std::vector<TskPngLayerClass> Classes{
      PngLayerClass<TskPngLayerIEND>(), PngLayerClass<TskPngLayerIHDR>(), PngLayerClass<TskPngLayerIDAT>(),
      PngLayerClass<TskPngLayerPLTE>(), PngLayerClass<TskPngLayergAMA>(), PngLayerClass<TskPngLayertRNS>(),
      PngLayerClass<TskPngLayerpHYs>(), PngLayerClass<TskPngLayertIME>(), PngLayerClass<TskPngLayertEXt>(),
      PngLayerClass<TskPngLayerzTXt>()};
  return Classes;
}

}  // namespace

std::uint32_t UpdatePngCrc(std::uint32_t Crc, const void* Buffer, std::size_t Size)
{
  // zlib keeps its running value inverted: ours is the register before the final inversion.
  uLong Value = ~Crc & 0xFFFFFFFFu;
  const Bytef* P = static_cast<const Bytef*>(Buffer);
  while (Size > 0) {
    const uInt Part = static_cast<uInt>(std::min<std::size_t>(Size, 1u << 30));
    Value = crc32(Value, P, Part);
    P += Part;
    Size -= Part;
  }
  return ~static_cast<std::uint32_t>(Value);
}

std::uint32_t PngChunkCrc(const String& Name, const void* Data, std::size_t Size)
{
  std::uint32_t Crc = UpdatePngCrc(0xFFFFFFFFu, Name.data(), std::min<std::size_t>(Name.size(), 4));
  return UpdatePngCrc(Crc, Data, Size) ^ 0xFFFFFFFFu;
}

bool InflateBuffer(const void* Input, std::size_t Size, String& Output, String& ErrorText, std::size_t MaxOutput)
{
  Output.clear();
  ErrorText.clear();
  z_stream Z{};
  if (inflateInit(&Z) != Z_OK) {
    ErrorText = Z.msg ? Z.msg : "inflateInit failed";
    return false;
  }
  Z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(Input));
  Z.avail_in = static_cast<uInt>(std::min<std::size_t>(Size, 0xFFFFFFFFu));
  Byte Window[256];
  int Result = Z_OK;
  while (Result != Z_STREAM_END) {
    Z.next_out = Window;
    Z.avail_out = sizeof(Window);
    Result = inflate(&Z, Z_NO_FLUSH);
    const std::size_t Produced = sizeof(Window) - Z.avail_out;
    if (Result != Z_OK && Result != Z_STREAM_END) {
      ErrorText = Z.msg ? Z.msg : (Result == Z_BUF_ERROR ? "unexpected end of data" : "inflate failed");
      break;
    }
    if (Output.size() + Produced > MaxOutput) {
      ErrorText = "inflated data too large";
      Result = Z_MEM_ERROR;
      break;
    }
    Output.append(reinterpret_cast<const char*>(Window), Produced);
  }
  inflateEnd(&Z);
  if (Result != Z_STREAM_END) Output.clear();
  return Result == Z_STREAM_END;
}

bool DeflateBuffer(const void* Input, std::size_t Size, int Level, String& Output, String& ErrorText)
{
  Output.clear();
  ErrorText.clear();
  z_stream Z{};
  if (deflateInit(&Z, std::clamp(Level, 0, 9)) != Z_OK) {
    ErrorText = Z.msg ? Z.msg : "deflateInit failed";
    return false;
  }
  Z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(Input));
  Z.avail_in = static_cast<uInt>(Size);
  Byte Window[256];
  int Result = Z_OK;
  while (Result == Z_OK) {
    Z.next_out = Window;
    Z.avail_out = sizeof(Window);
    Result = deflate(&Z, Z_FINISH);
    if (Result != Z_OK && Result != Z_STREAM_END) {
      ErrorText = Z.msg ? Z.msg : "deflate failed";
      break;
    }
    Output.append(reinterpret_cast<const char*>(Window), sizeof(Window) - Z.avail_out);
  }
  deflateEnd(&Z);
  if (Result != Z_STREAM_END) Output.clear();
  return Result == Z_STREAM_END;
}

// --- TskPngLayer ---

TskPngLayer::TskPngLayer(TskPngImage* AOwner) : FData(1, 0), FOwner(AOwner) {}

void TskPngLayer::ResizeData(Cardinal Size)
{
  FData.assign(static_cast<std::size_t>(Size) + 1, 0);
  FDataSize = Size;
}

TskPngLayerIHDR* TskPngLayer::Header() const { return FOwner ? FOwner->Header() : nullptr; }

bool TskPngLayer::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  // Never take more memory than the stream can fill.
  if (Int64(Size) + 4 > BytesLeft(Stream)) return false;
  if (FName.empty()) FName = AName;
  ResizeData(Size);
  if (Stream->Read(FData.data(), Size) != Int64(Size)) return false;
  Byte CrcBytes[4];
  if (Stream->Read(CrcBytes, 4) != 4) return false;
  return GetBE32(CrcBytes) == PngChunkCrc(AName, FData.data(), Size);
}

bool TskPngLayer::WriteChunk(TStream* Stream)
{
  Byte Head[8];
  PutBE32(Head, FDataSize);
  String N = Name();
  N.resize(4, ' ');
  std::memcpy(Head + 4, N.data(), 4);
  Stream->WriteBuffer(Head, 8);
  if (FDataSize) Stream->WriteBuffer(FData.data(), FDataSize);
  Byte Tail[4];
  PutBE32(Tail, PngChunkCrc(N, FData.data(), FDataSize));
  Stream->WriteBuffer(Tail, 4);
  return true;
}

bool TskPngLayer::SaveToStream(TStream* Stream) { return WriteChunk(Stream); }

void TskPngLayer::Assign(TskPngLayer* Source)
{
  if (!Source || Source == this) return;
  FData = Source->FData;
  FDataSize = Source->FDataSize;
  FName = Source->FName;
}

// --- lists ---

void* TskPngPointerList::Remove(void* Value)
{
  for (auto I = FItems.size(); I-- > 0;) {
    if (FItems[I] == Value) {
      FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(I));
      return Value;
    }
  }
  return nullptr;
}

void TskPngPointerList::Add(void* Value) { FItems.push_back(Value); }

void TskPngPointerList::Insert(void* Value, int Position)
{
  if (FItems.empty()) {
    if (Position == 0) FItems.push_back(Value);
    return;
  }
  if (Position < 0 || Position >= Count()) return;
  FItems.insert(FItems.begin() + Position, Value);
}

void* TskPngPointerList::GetItem(int Index) const
{
  return Index >= 0 && Index < Count() ? FItems[static_cast<std::size_t>(Index)] : nullptr;
}

void TskPngPointerList::SetItem(int Index, void* Value)
{
  if (Index >= 0 && Index < Count()) FItems[static_cast<std::size_t>(Index)] = Value;
}

void TskPngPointerList::SetCount(int Value)
{
  if (Value <= 0) {
    std::vector<void*>().swap(FItems);
    return;
  }
  FItems.resize(static_cast<std::size_t>(Value), nullptr);
}

TskPngLayer* TskPngList::FindChunk(TskPngLayerClass Class) const
{
  for (int I = 0; I < Count(); ++I) {
    TskPngLayer* Chunk = GetChunk(I);
    if (Chunk && Class->IsInstance(Chunk)) return Chunk;
  }
  return nullptr;
}

TskPngLayer* TskPngList::AddChunkByClass(TskPngLayerClass Class)
{
  const String Name = Class->Name;
  if (Name == "IHDR" || Name == "IDAT" || Name == "PLTE" || Name == "IEND") return nullptr;
  if ((Name == "gAMA" || Name == "tRNS" || Name == "pHYs") && FindChunk(Class)) return nullptr;
  if (!FindChunk(PngLayerClass<TskPngLayerIHDR>()) || !FindChunk(PngLayerClass<TskPngLayerIEND>())) return nullptr;

  auto IndexOf = [this](TskPngLayerClass C) {
    for (int I = 0; I < Count(); ++I)
      if (GetChunk(I) && C->IsInstance(GetChunk(I))) return I;
    return -1;
  };
  const int HeaderAt = IndexOf(PngLayerClass<TskPngLayerIHDR>());
  int Position;
  if (Name == "gAMA" || Name == "pHYs") {
    Position = HeaderAt + 1;
  } else if (Name == "tRNS") {
    const int PaletteAt = IndexOf(PngLayerClass<TskPngLayerPLTE>());
    const int DataAt = IndexOf(PngLayerClass<TskPngLayerIDAT>());
    Position = PaletteAt >= 0 ? PaletteAt + 1 : DataAt >= 0 ? DataAt : HeaderAt + 1;
  } else {
    Position = IndexOf(PngLayerClass<TskPngLayerIEND>());
  }
  // The end chunk is always after the header, so Position names an existing item.
  TskPngLayer* Chunk = Class->Create(Owner());
  Insert(Chunk, Position);
  return Chunk;
}

TskPngLayer* CreatePngChunkByName(TskPngImage* Owner, const String& Name)
{
  for (TskPngLayerClass Class : ChunkClasses())
    if (Name == Class->Name) return Class->Create(Owner);
  auto* Chunk = new TskPngLayer(Owner);
  Chunk->SetName(Name);
  return Chunk;
}
