// Reading INI files with many sections, and registry look-ups over a registry file. The INI
// figures grow with the number of sections; "ns_per_section" should stay flat from 1,000 to
// 50,000 sections (a file with many sections once took seconds to read). A registry look-up
// over an unchanged file costs a stat, not a parse.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/os/Registry.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {

void FillSections(TStringList& Lines, int Sections)
{
  Lines.Clear();
  for (int i = 0; i < Sections; ++i) {
    Lines.Add("[Section " + std::to_string(i) + "]");
    Lines.Add("Name=value " + std::to_string(i));
    Lines.Add("Count=" + std::to_string(i * 7));
  }
}

void BM_IniParseSections(benchmark::State& State)
{
  TStringList lines;
  FillSections(lines, static_cast<int>(State.range(0)));
  TMemIniFile ini("");
  for (auto _ : State) {
    ini.SetStrings(&lines);
    benchmark::DoNotOptimize(ini.SectionExists("Section 0"));
  }
  State.counters["ns_per_section"] = benchmark::Counter(
      static_cast<double>(State.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_IniParseSections)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_IniReadStringAmongSections(benchmark::State& State)
{
  TStringList lines;
  FillSections(lines, static_cast<int>(State.range(0)));
  TMemIniFile ini("");
  ini.SetStrings(&lines);
  int i = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(ini.ReadString("section " + std::to_string(i), "name", ""));
    i = (i + 7919) % static_cast<int>(State.range(0));
  }
}
BENCHMARK(BM_IniReadStringAmongSections)->Arg(1000)->Arg(50000);

void BM_RegistryQueryUnchangedFile(benchmark::State& State)
{
  char folder[] = "/tmp/qv-regbench-XXXXXX";
  if (!mkdtemp(folder)) {
    State.SkipWithError("no temporary folder");
    return;
  }
  const std::string name = std::string(folder) + "/registry.ini";
  {
    std::ofstream out(name);
    for (int i = 0; i < 2000; ++i) out << "[HKEY_CURRENT_USER\\Software\\Key" << i << "]\r\nValue=dword:0000002a\r\n";
  }
  SetRegistryFileName(name);
  for (auto _ : State) {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Key1999", 0, KEY_READ, &key);
    DWORD value = 0, size = sizeof value;
    RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    benchmark::DoNotOptimize(value);
  }
  SetRegistryFileName("");
  unlink(name.c_str());
  rmdir(folder);
}
BENCHMARK(BM_RegistryQueryUnchangedFile);

}  // namespace
