// Decoding and encoding PNG pictures of the shapes the program meets (a photo, a screenshot, a
// picture with an alpha channel, small icons, a grey picture, a palette picture) with the skin
// library's PNG image, against libpng doing the same work on the same files: decoding every
// row into pixel rows in the picture's own layout (BGR order, 16 bits cut to 8, palette
// indices kept), and encoding with libpng's defaults (every filter tried per row, zlib's
// default level) against ours with the image's defaults (the Sub filter, level 7) and, for the
// size only, ours with every filter allowed (chosen per row by the count of repeated bytes). The pictures are made at run time by ffmpeg from its test sources (drawn
// here when ffmpeg is missing). Prints, per picture, the median time ratio (ours / libpng)
// over alternating runs with its spread, and for encoding the size ratio; goals beside them.
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "RatioRuns.h"
#include "platform/rtl/Streams.h"
#include "skin/foundation/PngImage.h"

extern char** environ;

namespace {

struct TPicture {
  std::string Name;
  std::string File;  // the PNG bytes
  int Repeat = 1;    // decoded this many times per run (small pictures)
};

// Runs ffmpeg with these arguments (no shell); true when it made Out.
bool RunFfmpeg(const std::vector<std::string>& Args, const std::string& Out)
{
  std::vector<char*> Argv;
  std::vector<std::string> All{"ffmpeg", "-v", "error", "-nostdin", "-y"};
  All.insert(All.end(), Args.begin(), Args.end());
  All.push_back(Out);
  for (auto& A : All) Argv.push_back(A.data());
  Argv.push_back(nullptr);
  pid_t Pid = 0;
  if (posix_spawnp(&Pid, "ffmpeg", nullptr, nullptr, Argv.data(), environ) != 0) return false;
  int Status = 0;
  waitpid(Pid, &Status, 0);
  return WIFEXITED(Status) && WEXITSTATUS(Status) == 0 && std::filesystem::exists(Out);
}

std::string ReadFile(const std::string& Path)
{
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

// libpng's encoder with its defaults, over 8-bit rows of the given colour type.
std::string EncodeLibpng(int Width, int Height, int ColorType, const std::vector<std::vector<png_byte>>& Rows,
                         const std::vector<png_color>& Palette = {})
{
  std::string Out;
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) {
    png_destroy_write_struct(&Png, &Info);
    throw std::runtime_error("libpng could not encode");
  }
  png_set_write_fn(
      Png, &Out,
      [](png_structp P, png_bytep Data, png_size_t Size) {
        static_cast<std::string*>(png_get_io_ptr(P))->append(reinterpret_cast<const char*>(Data), Size);
      },
      [](png_structp) {});
  png_set_IHDR(Png, Info, static_cast<png_uint_32>(Width), static_cast<png_uint_32>(Height), 8, ColorType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!Palette.empty()) png_set_PLTE(Png, Info, Palette.data(), static_cast<int>(Palette.size()));
  png_write_info(Png, Info);
  for (const auto& R : Rows) png_write_row(Png, R.data());
  png_write_end(Png, Info);
  png_destroy_write_struct(&Png, &Info);
  return Out;
}

// A drawn stand-in: gradients, flat blocks, edges and grain.
std::string DrawPicture(int Width, int Height, int ColorType)
{
  const int Channels = ColorType == PNG_COLOR_TYPE_RGB ? 3 : ColorType == PNG_COLOR_TYPE_RGBA ? 4 : 1;
  std::vector<std::vector<png_byte>> Rows(static_cast<std::size_t>(Height),
                                          std::vector<png_byte>(static_cast<std::size_t>(Width * Channels)));
  std::uint32_t Seed = 12345;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      Seed = Seed * 1103515245u + 12345u;
      const int Noise = static_cast<int>((Seed >> 16) & 7);
      const bool Flat = (X / 40 + Y / 30) % 3 == 0;
      png_byte* P = Rows[static_cast<std::size_t>(Y)].data() + X * Channels;
      for (int C = 0; C < Channels; ++C)
        P[C] = static_cast<png_byte>(Flat ? 60 * (C + 1) : (X * (C + 1) + Y * 2 + Noise) & 0xFF);
      if (ColorType == PNG_COLOR_TYPE_PALETTE) P[0] = static_cast<png_byte>(Flat ? 3 : (X / 8 + Y / 8) % 64);
      if (Channels == 4) P[3] = static_cast<png_byte>((X / 16 + Y / 16) % 5 == 0 ? 0 : 255 - X * 128 / Width);
    }
  std::vector<png_color> Palette;
  if (ColorType == PNG_COLOR_TYPE_PALETTE)
    for (int I = 0; I < 64; ++I)
      Palette.push_back(png_color{static_cast<png_byte>(I * 4), static_cast<png_byte>(255 - I * 4), static_cast<png_byte>(I * 2)});
  return EncodeLibpng(Width, Height, ColorType, Rows, Palette);
}

std::vector<TPicture> MakePictures(const std::string& Dir)
{
  struct TSource {
    const char* Name;
    const char* Graph;
    const char* Format;
    int Width, Height, ColorType, Repeat;
  };
  const TSource Sources[] = {
      {"photo 1280x720 RGB", "mandelbrot=s=1280x720,noise=alls=14:allf=t", "rgb24", 1280, 720, PNG_COLOR_TYPE_RGB, 1},
      {"screenshot 1280x720 RGB", "testsrc2=s=1280x720", "rgb24", 1280, 720, PNG_COLOR_TYPE_RGB, 1},
      {"picture 640x480 RGBA", "testsrc2=s=640x480,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='if(lt(mod(X+Y,97),20),0,255*X/W)'",
       "rgba", 640, 480, PNG_COLOR_TYPE_RGBA, 1},
      {"icon 16x16 RGBA", "mandelbrot=s=64x64,scale=16:16,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='255*lt(hypot(X-8,Y-8),7)'",
       "rgba", 16, 16, PNG_COLOR_TYPE_RGBA, 400},
      {"icon 48x48 RGBA", "testsrc2=s=96x96,scale=48:48,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='255*lt(hypot(X-24,Y-24),22)'",
       "rgba", 48, 48, PNG_COLOR_TYPE_RGBA, 100},
      {"grey 1280x720", "mandelbrot=s=1280x720,noise=alls=8:allf=t", "gray", 1280, 720, PNG_COLOR_TYPE_GRAY, 1},
      {"palette 800x600", "testsrc2=s=800x600", "pal8", 800, 600, PNG_COLOR_TYPE_PALETTE, 1},
  };
  std::vector<TPicture> Pictures;
  int Index = 0;
  for (const TSource& S : Sources) {
    const std::string Out = Dir + "/picture-" + std::to_string(Index++) + ".png";
    TPicture P;
    P.Name = S.Name;
    P.Repeat = S.Repeat;
    if (RunFfmpeg({"-f", "lavfi", "-i", S.Graph, "-frames:v", "1", "-pix_fmt", S.Format}, Out)) {
      P.File = ReadFile(Out);
    } else {
      P.File = DrawPicture(S.Width, S.Height, S.ColorType);
      P.Name += " (drawn: ffmpeg missing or failed)";
    }
    Pictures.push_back(P);
  }
  return Pictures;
}

struct TReadSource {
  const std::string* File;
  std::size_t At;
};

// libpng decoding every row in the picture's own layout: what our decoder does.
void DecodeLibpng(const std::string& File)
{
  png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) {
    png_destroy_read_struct(&Png, &Info, nullptr);
    throw std::runtime_error("libpng could not decode");
  }
  TReadSource Source{&File, 0};
  png_set_read_fn(Png, &Source, [](png_structp P, png_bytep Data, png_size_t Size) {
    auto* S = static_cast<TReadSource*>(png_get_io_ptr(P));
    if (S->At + Size > S->File->size()) png_error(P, "short");
    std::memcpy(Data, S->File->data() + S->At, Size);
    S->At += Size;
  });
  png_read_info(Png, Info);
  const int Type = png_get_color_type(Png, Info);
  if (Type & PNG_COLOR_MASK_COLOR && Type != PNG_COLOR_TYPE_PALETTE) png_set_bgr(Png);
  png_set_strip_16(Png);
  png_read_update_info(Png, Info);
  const std::size_t RowBytes = png_get_rowbytes(Png, Info);
  const png_uint_32 Height = png_get_image_height(Png, Info);
  // A new picture each time, as ours makes one; cleared as ours is.
  std::vector<png_byte> Pixels(RowBytes * Height);
  std::vector<png_bytep> Rows(Height);
  for (png_uint_32 Y = 0; Y < Height; ++Y) Rows[Y] = Pixels.data() + RowBytes * Y;
  png_read_image(Png, Rows.data());
  png_read_end(Png, nullptr);
  png_destroy_read_struct(&Png, &Info, nullptr);
}

// The decoded picture's rows in 8-bit PNG layout, for libpng's encoder.
std::vector<std::vector<png_byte>> RowsOf(const std::string& File, int& Width, int& Height, int& ColorType,
                                          std::vector<png_color>& Palette)
{
  png_image Image{};
  Image.version = PNG_IMAGE_VERSION;
  png_image_begin_read_from_memory(&Image, File.data(), File.size());
  Width = static_cast<int>(Image.width);
  Height = static_cast<int>(Image.height);
  const bool Alpha = Image.format & PNG_FORMAT_FLAG_ALPHA;
  const bool Colour = Image.format & PNG_FORMAT_FLAG_COLOR;
  const bool Mapped = Image.format & PNG_FORMAT_FLAG_COLORMAP;
  std::vector<png_byte> Buffer, Map;
  if (Mapped) {
    Image.format = PNG_FORMAT_RGB_COLORMAP;
    Map.resize(PNG_IMAGE_COLORMAP_SIZE(Image));
    Buffer.resize(PNG_IMAGE_SIZE(Image));
    png_image_finish_read(&Image, nullptr, Buffer.data(), 0, Map.data());
    ColorType = PNG_COLOR_TYPE_PALETTE;
    for (std::size_t I = 0; I + 2 < Map.size(); I += 3) Palette.push_back(png_color{Map[I], Map[I + 1], Map[I + 2]});
  } else {
    Image.format = Colour ? (Alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB) : PNG_FORMAT_GRAY;
    Buffer.resize(PNG_IMAGE_SIZE(Image));
    png_image_finish_read(&Image, nullptr, Buffer.data(), 0, nullptr);
    ColorType = Colour ? (Alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB) : PNG_COLOR_TYPE_GRAY;
  }
  const std::size_t RowBytes = Buffer.size() / static_cast<std::size_t>(Height);
  std::vector<std::vector<png_byte>> Rows;
  for (int Y = 0; Y < Height; ++Y)
    Rows.emplace_back(Buffer.begin() + static_cast<std::ptrdiff_t>(RowBytes * Y),
                      Buffer.begin() + static_cast<std::ptrdiff_t>(RowBytes * (Y + 1)));
  return Rows;
}

}  // namespace

int main()
{
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string Dir = std::filesystem::temp_directory_path().string() + "/qv-png-bench-" + std::to_string(getpid());
  std::filesystem::create_directories(Dir);
  std::vector<TPicture> Pictures = MakePictures(Dir);
  // QV_PNG_BENCH_ONLY=text keeps the pictures whose name holds text (for a profiler).
  if (const char* Only = std::getenv("QV_PNG_BENCH_ONLY"))
    std::erase_if(Pictures, [Only](const TPicture& P) { return P.Name.find(Only) == std::string::npos; });
  if (Pictures.empty()) return 0;
  std::filesystem::remove_all(Dir);
  constexpr int Pairs = 11;

  std::printf("PNG decoding, ours / libpng (median of %d alternating pairs, spread in brackets)\n", Pairs);
  double LogSum = 0;
  for (const TPicture& P : Pictures) {
    bool Decoded = true;
    // Both read the same bytes in memory: ours through a stream wound back each time.
    TStringStream Stream(P.File);
    const auto R = qv::bench::AlternateRuns(
        Pairs, nullptr,
        [&] {
          for (int I = 0; I < P.Repeat; ++I) {
            Stream.SetPosition(0);
            TskPngImage Image;
            Image.LoadFromStream(&Stream);
            Decoded = Decoded && Image.GetWidth() > 0;
          }
        },
        [&] {
          for (int I = 0; I < P.Repeat; ++I) DecodeLibpng(P.File);
        });
    std::string What = "decode " + P.Name + (P.Repeat > 1 ? " x" + std::to_string(P.Repeat) : "");
    if (!Decoded) What += " (NOT DECODED)";
    qv::bench::PrintRatio(What.c_str(), R, "<= 1.0");
    LogSum += std::log(R.Median);
  }
  std::printf("decode, geometric mean of the ratios: %.2f (goal <= 1.0)\n\n", std::exp(LogSum / Pictures.size()));

  std::printf("PNG encoding, ours (default settings) / libpng (default settings): time and file size\n");
  double TimeLog = 0, SizeLog = 0;
  std::size_t OursTotal = 0, TheirsTotal = 0;
  for (const TPicture& P : Pictures) {
    int Width = 0, Height = 0, ColorType = 0;
    std::vector<png_color> Palette;
    const auto Rows = RowsOf(P.File, Width, Height, ColorType, Palette);
    TStringStream In(P.File);
    TskPngImage Image;
    Image.LoadFromStream(&In);
    std::size_t OursSize = 0, TheirsSize = 0;
    const auto R = qv::bench::AlternateRuns(
        Pairs, nullptr,
        [&] {
          for (int I = 0; I < P.Repeat; ++I) {
            TStringStream Out;
            Image.SaveToStream(&Out);
            OursSize = Out.GetDataString().size();
          }
        },
        [&] {
          for (int I = 0; I < P.Repeat; ++I) TheirsSize = EncodeLibpng(Width, Height, ColorType, Rows, Palette).size();
        });
    const double SizeRatio = TheirsSize ? static_cast<double>(OursSize) / static_cast<double>(TheirsSize) : 0;
    const std::string What = "encode " + P.Name + (P.Repeat > 1 ? " x" + std::to_string(P.Repeat) : "");
    qv::bench::PrintRatio(What.c_str(), R, "<= 1.0");
    std::printf("%-44s %9zu B  vs %9zu B   size ratio %.3f  goal <= 1.0\n", "", OursSize, TheirsSize, SizeRatio);
    TskPngImage Every;
    TStringStream Again(P.File);
    Every.LoadFromStream(&Again);
    Every.AllowedFilters = 0x1F;
    TStringStream EveryOut;
    Every.SaveToStream(&EveryOut);
    std::printf("%-44s %9zu B  (every filter allowed: size ratio %.3f)\n", "", EveryOut.GetDataString().size(),
                TheirsSize ? static_cast<double>(EveryOut.GetDataString().size()) / static_cast<double>(TheirsSize) : 0);
    TimeLog += std::log(R.Median);
    SizeLog += std::log(SizeRatio);
    OursTotal += OursSize;
    TheirsTotal += TheirsSize;
  }
  std::printf("encode, geometric mean: time %.2f, size %.3f; all files %zu B vs %zu B (goal <= 1.0 both)\n",
              std::exp(TimeLog / Pictures.size()), std::exp(SizeLog / Pictures.size()), OursTotal, TheirsTotal);
  return 0;
}
