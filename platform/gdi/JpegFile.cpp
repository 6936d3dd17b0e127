// libjpeg reports fatal errors through a callback that must not return. Ours jumps back with
// longjmp to the one function that drives the library; those functions hold no C++ objects
// with destructors of their own, and everything they fill lives in the caller's job record.
#include "platform/gdi/JpegFile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/rtl/Files.h"

namespace {

struct TErrorManager {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  bool InHeader;  // still reading the headers
  bool SawEnd;    // the data ran out and libjpeg went on with a made-up end marker
};

void OnErrorExit(j_common_ptr Info)
{
  auto* Err = reinterpret_cast<TErrorManager*>(Info->err);
  Err->Pub.format_message(Info, Err->Message);
  std::longjmp(Err->Jump, 1);
}

// libjpeg only warns about data that ends early and fills what is missing with grey. Running
// out while reading the headers, or running out of picture data that a scan still needs, ends
// the decoding with "Premature end of JPEG file". Data that lacks no more than its end marker
// is complete and passes, as do harmless warnings (stray bytes between markers).
void OnEmitMessage(j_common_ptr Info, int Level)
{
  auto* Err = reinterpret_cast<TErrorManager*>(Info->err);
  if (Level >= 0)
    return;
  switch (Err->Pub.msg_code) {
  case JWRN_JPEG_EOF:
    if (Err->InHeader)
      OnErrorExit(Info);
    Err->SawEnd = true;
    break;
  case JWRN_HIT_MARKER:
    if (Err->SawEnd)
      Err->Pub.msg_code = JWRN_JPEG_EOF;
    OnErrorExit(Info);
    break;
  default:
    break;
  }
}

void OnOutputMessage(j_common_ptr) {}

void InstallErrorManager(TErrorManager& Err)
{
  jpeg_std_error(&Err.Pub);
  Err.Pub.error_exit = OnErrorExit;
  Err.Pub.emit_message = OnEmitMessage;
  Err.Pub.output_message = OnOutputMessage;
  Err.Message[0] = '\0';
  Err.InHeader = true;
  Err.SawEnd = false;
}

[[noreturn]] void Fail(const String& Text) { throw EInvalidGraphic("JPEG error: " + Text); }

struct TDecodeJob {
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  TJpegReadOptions Options;
  TDibImage Image;
  String Error;
};

// Converts one decoded row that is not B,G,R already into B,G,R.
void ConvertRow(const JSAMPLE* In, int Components, bool AdobeCmyk, int Width, std::uint8_t* Out)
{
  if (Components == 1) {
    for (int X = 0; X < Width; ++X)
      Out[3 * X] = Out[3 * X + 1] = Out[3 * X + 2] = In[X];
    return;
  }
  // CMYK: Adobe writes the inks inverted (0 = full ink), others write them plainly.
  for (int X = 0; X < Width; ++X) {
    unsigned C = In[4 * X], M = In[4 * X + 1], Y = In[4 * X + 2], K = In[4 * X + 3];
    if (!AdobeCmyk) {
      C = 255 - C;
      M = 255 - M;
      Y = 255 - Y;
      K = 255 - K;
    }
    Out[3 * X] = static_cast<std::uint8_t>((Y * K + 127) / 255);
    Out[3 * X + 1] = static_cast<std::uint8_t>((M * K + 127) / 255);
    Out[3 * X + 2] = static_cast<std::uint8_t>((C * K + 127) / 255);
  }
}

bool RunDecode(TDecodeJob& Job)
{
  jpeg_decompress_struct Info{};
  TErrorManager Err{};
  InstallErrorManager(Err);
  Info.err = &Err.Pub;
  if (setjmp(Err.Jump)) {
    jpeg_destroy_decompress(&Info);
    Job.Error = Err.Message;
    return false;
  }
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, Job.Data, static_cast<unsigned long>(Job.Size));
  jpeg_read_header(&Info, TRUE);
  Err.InHeader = false;
  switch (Info.jpeg_color_space) {
  case JCS_GRAYSCALE:
    Info.out_color_space = JCS_GRAYSCALE;
    break;
  case JCS_CMYK:
  case JCS_YCCK:
    Info.out_color_space = JCS_CMYK;
    break;
  default:
    Info.out_color_space = JCS_EXT_BGR;
    break;
  }
  Info.scale_num = 1;
  Info.scale_denom = static_cast<unsigned>(Job.Options.ScaleDenominator);
  if (Job.Options.BestSpeed) {
    Info.dct_method = JDCT_IFAST;
    Info.do_fancy_upsampling = FALSE;
  }
  jpeg_calc_output_dimensions(&Info);
  const std::int64_t Width = Info.output_width, Height = Info.output_height;
  if (Width > MaxDibDimension || Height > MaxDibDimension ||
      TDibImage::StrideFor(Width, 24) * Height > MaxDibBytes) {
    jpeg_destroy_decompress(&Info);
    Job.Error = "Image is too large";
    return false;
  }
  try {
    Job.Image.SetSize(static_cast<int>(Width), static_cast<int>(Height), 24, true);
  } catch (const std::exception& E) {
    jpeg_destroy_decompress(&Info);
    Job.Error = E.what();
    return false;
  }
  jpeg_start_decompress(&Info);
  const int Components = Info.output_components;
  JSAMPARRAY Temp = nullptr;
  if (Info.out_color_space != JCS_EXT_BGR)
    Temp = Info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&Info), JPOOL_IMAGE,
                                  static_cast<JDIMENSION>(Width * Components), 1);
  while (Info.output_scanline < Info.output_height) {
    std::uint8_t* Row = Job.Image.ScanLine(static_cast<int>(Info.output_scanline));
    if (Temp == nullptr) {
      JSAMPROW Target = Row;
      jpeg_read_scanlines(&Info, &Target, 1);
    } else {
      jpeg_read_scanlines(&Info, Temp, 1);
      ConvertRow(Temp[0], Components, Info.saw_Adobe_marker, static_cast<int>(Width), Row);
    }
  }
  jpeg_finish_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  return true;
}

// A libjpeg destination that appends to a byte vector.
struct TVectorDestination {
  jpeg_destination_mgr Pub;
  std::vector<std::uint8_t>* Out;
  bool OutOfMemory;
  JOCTET Chunk[16384];
};

void OnInitDestination(j_compress_ptr Info)
{
  auto* Dest = reinterpret_cast<TVectorDestination*>(Info->dest);
  Dest->Pub.next_output_byte = Dest->Chunk;
  Dest->Pub.free_in_buffer = sizeof Dest->Chunk;
}

void Append(j_compress_ptr Info, std::size_t Count)
{
  auto* Dest = reinterpret_cast<TVectorDestination*>(Info->dest);
  try {
    Dest->Out->insert(Dest->Out->end(), Dest->Chunk, Dest->Chunk + Count);
  } catch (const std::bad_alloc&) {
    Dest->OutOfMemory = true;
  }
  if (Dest->OutOfMemory)
    ERREXIT1(Info, JERR_OUT_OF_MEMORY, 0);
}

boolean OnEmptyOutputBuffer(j_compress_ptr Info)
{
  auto* Dest = reinterpret_cast<TVectorDestination*>(Info->dest);
  Append(Info, sizeof Dest->Chunk);
  Dest->Pub.next_output_byte = Dest->Chunk;
  Dest->Pub.free_in_buffer = sizeof Dest->Chunk;
  return TRUE;
}

void OnTermDestination(j_compress_ptr Info)
{
  auto* Dest = reinterpret_cast<TVectorDestination*>(Info->dest);
  Append(Info, sizeof Dest->Chunk - Dest->Pub.free_in_buffer);
}

struct TEncodeJob {
  const TDibImage* Image = nullptr;
  TJpegWriteOptions Options;
  std::vector<std::uint8_t> Out;
  std::vector<TDibColor> RowColors;  // sized by the caller for pictures that need converting
  String Error;
};

bool RunEncode(TEncodeJob& Job)
{
  const TDibImage& Image = *Job.Image;
  jpeg_compress_struct Info{};
  TErrorManager Err{};
  TVectorDestination Dest{};
  InstallErrorManager(Err);
  Info.err = &Err.Pub;
  if (setjmp(Err.Jump)) {
    jpeg_destroy_compress(&Info);
    Job.Error = Err.Message;
    return false;
  }
  jpeg_create_compress(&Info);
  Dest.Pub.init_destination = OnInitDestination;
  Dest.Pub.empty_output_buffer = OnEmptyOutputBuffer;
  Dest.Pub.term_destination = OnTermDestination;
  Dest.Out = &Job.Out;
  Dest.OutOfMemory = false;
  Info.dest = &Dest.Pub;

  Info.image_width = static_cast<JDIMENSION>(Image.Width);
  Info.image_height = static_cast<JDIMENSION>(Image.Height);
  // 24- and 32-bit rows go in as they are; other depths are converted row by row.
  const bool Direct = Image.BitCount == 24 || Image.BitCount == 32;
  Info.input_components = Image.BitCount == 32 ? 4 : 3;
  Info.in_color_space = Image.BitCount == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&Info);
  if (Job.Options.Grayscale)
    jpeg_set_colorspace(&Info, JCS_GRAYSCALE);
  jpeg_set_quality(&Info, std::clamp(Job.Options.Quality, 0, 100), TRUE);
  if (Job.Options.ProgressiveEncoding)
    jpeg_simple_progression(&Info);
  jpeg_start_compress(&Info, TRUE);
  JSAMPARRAY Temp = nullptr;
  if (!Direct)
    Temp = Info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&Info), JPOOL_IMAGE,
                                  static_cast<JDIMENSION>(Image.Width * 3), 1);
  while (Info.next_scanline < Info.image_height) {
    const int Y = static_cast<int>(Info.next_scanline);
    JSAMPROW Row;
    if (Direct) {
      Row = const_cast<JSAMPROW>(Image.ScanLine(Y));
    } else {
      Image.ReadRow(Y, Job.RowColors.data());
      Row = Temp[0];
      for (int X = 0; X < Image.Width; ++X) {
        const TDibColor& C = Job.RowColors[static_cast<std::size_t>(X)];
        Row[3 * X] = C.Blue;
        Row[3 * X + 1] = C.Green;
        Row[3 * X + 2] = C.Red;
      }
    }
    jpeg_write_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  return true;
}

}  // namespace

TDibImage LoadJpegFromBytes(const std::uint8_t* Data, std::size_t Size, const TJpegReadOptions& Options)
{
  const int D = Options.ScaleDenominator;
  if (D != 1 && D != 2 && D != 4 && D != 8)
    Fail("Unsupported scale");
  if (Data == nullptr || Size == 0)
    Fail("Empty input buffer");
  TDecodeJob Job;
  Job.Data = Data;
  Job.Size = Size;
  Job.Options = Options;
  if (!RunDecode(Job))
    Fail(Job.Error);
  return std::move(Job.Image);
}

TDibImage LoadJpegFromBytes(const std::vector<std::uint8_t>& Data, const TJpegReadOptions& Options)
{
  return LoadJpegFromBytes(Data.data(), Data.size(), Options);
}

TDibImage LoadJpegFromStream(TStream* Stream, const TJpegReadOptions& Options)
{
  const std::vector<std::uint8_t> Data = ReadRestOfStream(Stream);
  return LoadJpegFromBytes(Data.data(), Data.size(), Options);
}

TDibImage LoadJpegFromFile(const String& FileName, const TJpegReadOptions& Options)
{
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  return LoadJpegFromStream(&Stream, Options);
}

std::vector<std::uint8_t> SaveJpegToBytes(const TDibImage& Image, const TJpegWriteOptions& Options)
{
  if (Image.IsEmpty() || !Image.IsConsistent())
    Fail("Empty or damaged picture");
  TEncodeJob Job;
  Job.Image = &Image;
  Job.Options = Options;
  Job.RowColors.resize(static_cast<std::size_t>(Image.Width));
  if (!RunEncode(Job))
    Fail(Job.Error);
  return std::move(Job.Out);
}

void SaveJpegToStream(const TDibImage& Image, TStream* Stream, const TJpegWriteOptions& Options)
{
  const std::vector<std::uint8_t> Bytes = SaveJpegToBytes(Image, Options);
  Stream->WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
}

void SaveJpegToFile(const TDibImage& Image, const String& FileName, const TJpegWriteOptions& Options)
{
  const std::vector<std::uint8_t> Bytes = SaveJpegToBytes(Image, Options);
  AtomicSaveToFile(FileName, Bytes.data(), Bytes.size());
}
