// TskPngImage: the chunk list, loading and saving, copying.
#include "skin/foundation/PngImage.h"

#include <cstring>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"

namespace {

const Byte PngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// The largest chunk length a PNG file may hold.
constexpr Cardinal MaxChunkLength = 0x7FFFFFFFu;

}  // namespace

TskPngImage::TskPngImage() : FChunks(std::make_unique<TskPngList>(this)), FCanvas(std::make_unique<TCanvas>())
{
  ResetGamma();
}

TskPngImage::~TskPngImage()
{
  FCanvas->SetHandle(nullptr);
  RemoveAllChunks();
}

void TskPngImage::ResetGamma()
{
  for (int I = 0; I < 256; ++I) {
    GammaMap[static_cast<std::size_t>(I)] = static_cast<Byte>(I);
    UngammaMap[static_cast<std::size_t>(I)] = static_cast<Byte>(I);
  }
}

void TskPngImage::SetIdatChunkLimit(int Value) { FIdatChunkLimit = Value < 65535 ? 65535 : Value; }

TskPngLayerIHDR* TskPngImage::Header() const
{
  return FChunks->Count() > 0 ? dynamic_cast<TskPngLayerIHDR*>(FChunks->GetChunk(0)) : nullptr;
}

void TskPngImage::RemoveAllChunks()
{
  ResetGamma();
  // The header goes last: other chunks may look at it while they are destroyed.
  for (int I = FChunks->Count() - 1; I >= 0; --I) delete FChunks->GetChunk(I);
  FChunks->SetCount(0);
}

bool TskPngImage::Empty() const { return FChunks->Count() == 0; }

int TskPngImage::GetWidth() const
{
  const TskPngLayerIHDR* H = Header();
  return H ? static_cast<int>(H->Width) : 0;
}

int TskPngImage::GetHeight() const
{
  const TskPngLayerIHDR* H = Header();
  return H ? static_cast<int>(H->Height) : 0;
}

void TskPngImage::Assign(TPersistent* Source)
{
  if (!Source) {
    RemoveAllChunks();
    return;
  }
  if (auto* Png = dynamic_cast<TskPngImage*>(Source)) {
    CopyImage(Png);
    return;
  }
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Source)) {
    AssignBitmap(Bitmap->GetHandle(), Bitmap->GetTransparent(), ColorToRGB(Bitmap->GetTransparentColor()));
    return;
  }
  TGraphic::Assign(Source);
}

void TskPngImage::CopyImage(TskPngImage* Source)
{
  if (!Source || Source == this) return;
  Interlacing = Source->Interlacing;
  SetIdatChunkLimit(Source->GetIdatChunkLimit());
  DeflateLevel = Source->DeflateLevel;
  AllowedFilters = Source->AllowedFilters;
  RemoveAllChunks();
  for (int I = 0; I < Source->FChunks->Count(); ++I) {
    TskPngLayer* From = Source->FChunks->GetChunk(I);
    if (!From) continue;
    TskPngLayer* Chunk = From->GetClass()->Create(this);
    FChunks->Add(Chunk);
    Chunk->Assign(From);
  }
}

void TskPngImage::LoadFromStream(TStream* Stream)
{
  RemoveAllChunks();
  Byte Signature[8];
  if (Stream->Read(Signature, 8) != 8 || std::memcmp(Signature, PngSignature, 8) != 0) return;

  bool HaveImageData = false;
  for (;;) {
    Byte Head[8];
    if (Stream->Read(Head, 8) != 8) break;
    const Cardinal Length =
        (Cardinal(Head[0]) << 24) | (Cardinal(Head[1]) << 16) | (Cardinal(Head[2]) << 8) | Cardinal(Head[3]);
    const String Name(reinterpret_cast<const char*>(Head + 4), 4);
    const bool First = FChunks->Count() == 0;
    if (First && Name != "IHDR") {
      RemoveAllChunks();
      return;
    }
    if (Length > MaxChunkLength || (!First && Name == "IHDR")) break;
    const Int64 Left = Stream->GetSize() - Stream->GetPosition();
    if (Name == "cHRM" || (Name == "IDAT" && HaveImageData)) {
      // Dropped, or already decoded with the first image data chunk.
      if (Int64(Length) + 4 > Left) break;
      Stream->Seek(Int64(Length) + 4, soCurrent);
      continue;
    }
    // A chunk cut off by the end of the stream ends the load and is not kept (the image data
    // decodes what there is).
    if (Name != "IDAT" && Int64(Length) + 4 > Left) break;

    TskPngLayer* Chunk = CreatePngChunkByName(this, Name);
    FChunks->Add(Chunk);
    if (Name == "IDAT") HaveImageData = true;
    const bool Loaded = Chunk->LoadFromStream(Stream, Name, Length);
    if (!Loaded) {
      // A refused header leaves nothing to show.
      if (First) RemoveAllChunks();
      break;
    }
    if (Name == "IEND") break;
  }
}

void TskPngImage::SaveToStream(TStream* Stream)
{
  Stream->WriteBuffer(PngSignature, 8);
  for (int I = 0; I < FChunks->Count(); ++I)
    if (TskPngLayer* Chunk = FChunks->GetChunk(I)) Chunk->SaveToStream(Stream);
}
