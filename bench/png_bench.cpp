// Decoding and encoding a 1280 x 720 RGBA picture with the skin library's PNG image, against
// libpng on the same picture. Prints the time ratios (ours / libpng) at the end; the goal for
// decoding is a ratio of at most 2.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/rtl/Streams.h"
#include "skin/foundation/PngImage.h"

namespace {

constexpr int Width = 1280;
constexpr int Height = 720;

// A picture like a screenshot or a photo: gradients, flat areas, edges and some noise, with
// an alpha channel that fades and has holes.
const std::vector<unsigned char>& Pixels()
{
  static const std::vector<unsigned char> Rgba = [] {
    std::vector<unsigned char> P(static_cast<std::size_t>(Width) * Height * 4);
    std::uint32_t Seed = 12345;
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X) {
        Seed = Seed * 1103515245u + 12345u;
        const int Noise = static_cast<int>((Seed >> 16) & 7);
        unsigned char* Q = P.data() + (static_cast<std::size_t>(Y) * Width + X) * 4;
        const bool Flat = (X / 160 + Y / 120) % 3 == 0;
        Q[0] = static_cast<unsigned char>(Flat ? 40 : (X * 255 / Width + Noise));
        Q[1] = static_cast<unsigned char>(Flat ? 90 : (Y * 255 / Height + Noise));
        Q[2] = static_cast<unsigned char>(Flat ? 200 : ((X + Y) & 0xFF));
        Q[3] = static_cast<unsigned char>((X / 64 + Y / 64) % 5 == 0 ? 0 : 255 - (X * 128 / Width));
      }
    return P;
  }();
  return Rgba;
}

png_image Describe()
{
  png_image Image;
  std::memset(&Image, 0, sizeof(Image));
  Image.version = PNG_IMAGE_VERSION;
  Image.width = Width;
  Image.height = Height;
  Image.format = PNG_FORMAT_RGBA;
  return Image;
}

std::string EncodeWithLibpng()
{
  png_image Image = Describe();
  png_alloc_size_t Size = 0;
  if (!png_image_write_to_memory(&Image, nullptr, &Size, 0, Pixels().data(), 0, nullptr))
    throw std::runtime_error(Image.message);
  std::string File(Size, '\0');
  if (!png_image_write_to_memory(&Image, File.data(), &Size, 0, Pixels().data(), 0, nullptr))
    throw std::runtime_error(Image.message);
  File.resize(Size);
  return File;
}

const std::string& LibpngFile()
{
  static const std::string File = EncodeWithLibpng();
  return File;
}

void BM_DecodeLibpng(benchmark::State& State)
{
  const std::string& File = LibpngFile();
  std::vector<unsigned char> Out(static_cast<std::size_t>(Width) * Height * 4);
  for (auto _ : State) {
    png_image Image;
    std::memset(&Image, 0, sizeof(Image));
    Image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&Image, File.data(), File.size());
    Image.format = PNG_FORMAT_RGBA;
    png_image_finish_read(&Image, nullptr, Out.data(), 0, nullptr);
    benchmark::DoNotOptimize(Out.data());
  }
}

void BM_DecodeOurs(benchmark::State& State)
{
  const std::string& File = LibpngFile();
  for (auto _ : State) {
    TStringStream Stream(File);
    TskPngImage Image;
    Image.LoadFromStream(&Stream);
    if (Image.GetWidth() != Width) State.SkipWithError("not decoded");
    benchmark::DoNotOptimize(Image.ImageRow(0));
  }
}

void BM_EncodeLibpng(benchmark::State& State)
{
  for (auto _ : State) benchmark::DoNotOptimize(EncodeWithLibpng());
}

void BM_EncodeOurs(benchmark::State& State)
{
  TStringStream Stream(LibpngFile());
  TskPngImage Image;
  Image.LoadFromStream(&Stream);
  for (auto _ : State) {
    TStringStream Out;
    Image.SaveToStream(&Out);
    benchmark::DoNotOptimize(Out.GetDataString().data());
  }
}

BENCHMARK(BM_DecodeLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOurs)->Unit(benchmark::kMillisecond);

// Shows the results as usual and keeps each benchmark's time per iteration.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& Runs) override
  {
    for (const Run& R : Runs) Times[R.benchmark_name()] = R.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(Runs);
  }
  std::map<std::string, double> Times;
};

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  TRatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  const auto Ratio = [&](const char* Ours, const char* Theirs) {
    const auto A = Reporter.Times.find(Ours), B = Reporter.Times.find(Theirs);
    return A != Reporter.Times.end() && B != Reporter.Times.end() && B->second > 0 ? A->second / B->second : 0.0;
  };
  std::printf("PNG %dx%d RGBA, ours / libpng: decode %.2f (goal <= 2), encode %.2f\n", Width, Height,
              Ratio("BM_DecodeOurs", "BM_DecodeLibpng"), Ratio("BM_EncodeOurs", "BM_EncodeLibpng"));
  benchmark::Shutdown();
  return 0;
}
