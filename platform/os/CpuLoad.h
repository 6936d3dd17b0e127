// Processor load per processor and in total, from the kernel's time counters (/proc/stat),
// as the difference between the two latest samples: the stand-in for the processor-time
// performance counters.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"

class TCpuLoadSampler {
public:
  // StatFile is the counter file ("/proc/stat"; a fake one in tests).
  explicit TCpuLoadSampler(const String& StatFile = "/proc/stat");

  // Reads the counter file and takes a sample. Raises Exception "Unable to read the processor
  // counters" when the file cannot be read or holds no "cpu" line.
  void Sample();
  // Takes a sample from the text of a counter file.
  void SampleText(const String& Text);

  // The number of processors of the latest sample (sampling once first if none was taken).
  int ProcessorCount();
  // Busy time in percent (0 to 100) of processor Index between the two latest samples; with
  // only one sample, since the system started. 0 when no time passed between the samples.
  // Raises Exception "CPU index out of bounds" for an index outside 0 .. ProcessorCount - 1.
  double Load(int Index);
  // The same for all processors together.
  double TotalLoad();

private:
  struct TTimes {
    std::uint64_t Busy = 0;
    std::uint64_t Total = 0;
  };
  static double Percent(const TTimes& Previous, const TTimes& Current);

  String FStatFile;
  bool FSampled = false;
  TTimes FTotal, FPreviousTotal;
  std::vector<TTimes> FCpus, FPreviousCpus;
};
