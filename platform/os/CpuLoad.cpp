#include "platform/os/CpuLoad.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

// "cpu" or "cpuN" user nice system idle iowait irq softirq steal [guest guest_nice]. Guest time
// is already part of user and nice, so only the first eight count; idle and iowait are idle.
bool ParseCpuLine(const String& Line, int& Index, std::uint64_t& Busy, std::uint64_t& Total)
{
  if (Line.compare(0, 3, "cpu") != 0) return false;
  std::istringstream in(Line);
  String name;
  in >> name;
  if (name == "cpu") {
    Index = -1;
  } else {
    const String digits = name.substr(3);
    if (digits.empty() || digits.size() > 6) return false;
    for (char c : digits)
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    Index = std::stoi(digits);
  }
  std::uint64_t values[8] = {};
  int count = 0;
  for (; count < 8; ++count) {
    if (!(in >> values[count])) break;
  }
  if (count < 4) return false;
  Total = 0;
  for (int i = 0; i < count; ++i) Total += values[i];
  const std::uint64_t idle = values[3] + (count > 4 ? values[4] : 0);
  Busy = Total - idle;
  return true;
}

}  // namespace

TCpuLoadSampler::TCpuLoadSampler(const String& StatFile) : FStatFile(StatFile) {}

void TCpuLoadSampler::Sample()
{
  std::ifstream in(FStatFile);
  if (!in) throw Exception("Unable to read the processor counters");
  std::ostringstream text;
  text << in.rdbuf();
  SampleText(text.str());
}

void TCpuLoadSampler::SampleText(const String& Text)
{
  std::istringstream lines(Text);
  String line;
  bool total = false;
  TTimes sumTimes;
  std::vector<TTimes> cpus;
  while (std::getline(lines, line)) {
    int index = 0;
    std::uint64_t busy = 0, all = 0;
    if (!ParseCpuLine(line, index, busy, all)) continue;
    if (index < 0) {
      sumTimes = {busy, all};
      total = true;
    } else if (index < 4096) {
      if (static_cast<std::size_t>(index) >= cpus.size()) cpus.resize(static_cast<std::size_t>(index) + 1);
      cpus[static_cast<std::size_t>(index)] = {busy, all};
    }
  }
  if (!total && cpus.empty()) throw Exception("Unable to read the processor counters");
  if (!total)
    for (const TTimes& t : cpus) sumTimes.Busy += t.Busy, sumTimes.Total += t.Total;
  if (FSampled) {
    FPreviousTotal = FTotal;
    FPreviousCpus = FCpus;
  } else {
    FPreviousTotal = {};
    FPreviousCpus.clear();
  }
  FPreviousCpus.resize(cpus.size());
  // A processor that was off-line in the previous sample starts again from this one: its
  // counters since the system started are no load of this step.
  if (FSampled)
    for (std::size_t i = 0; i < cpus.size(); ++i)
      if (FPreviousCpus[i].Total == 0) FPreviousCpus[i] = cpus[i];
  FTotal = sumTimes;
  FCpus = std::move(cpus);
  FSampled = true;
}

int TCpuLoadSampler::ProcessorCount()
{
  if (!FSampled) Sample();
  return static_cast<int>(FCpus.size());
}

double TCpuLoadSampler::Percent(const TTimes& Previous, const TTimes& Current)
{
  // A counter that went back (a processor taken off-line and back) gives no time for this step.
  if (Current.Total <= Previous.Total) return 0;
  const double total = static_cast<double>(Current.Total - Previous.Total);
  const double busy = Current.Busy >= Previous.Busy ? static_cast<double>(Current.Busy - Previous.Busy) : 0;
  const double load = busy / total * 100.0;
  return load > 100.0 ? 100.0 : load;
}

double TCpuLoadSampler::Load(int Index)
{
  if (!FSampled) Sample();
  if (Index < 0 || Index >= static_cast<int>(FCpus.size())) throw Exception("CPU index out of bounds");
  return Percent(FPreviousCpus[static_cast<std::size_t>(Index)], FCpus[static_cast<std::size_t>(Index)]);
}

double TCpuLoadSampler::TotalLoad()
{
  if (!FSampled) Sample();
  return Percent(FPreviousTotal, FTotal);
}
