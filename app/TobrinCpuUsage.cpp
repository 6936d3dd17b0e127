#include "app/TobrinCpuUsage.h"

#include <memory>

namespace {

struct TCpuUsageState {
  String File = "/proc/stat";
  std::unique_ptr<TCpuLoadSampler> Sampler;
  int InstanceCount = -1;
};

TCpuUsageState& State()
{
  static TCpuUsageState S;
  return S;
}

TCpuLoadSampler& Sampler()
{
  TCpuUsageState& S = State();
  if (!S.Sampler) S.Sampler = std::make_unique<TCpuLoadSampler>(S.File);
  return *S.Sampler;
}

}  // namespace

void SetProcessorCounterFile(const String& File)
{
  TCpuUsageState& S = State();
  S.File = File;
  S.Sampler.reset();
  S.InstanceCount = -1;
}

void SampleProcessorCounters()
{
  TCpuLoadSampler& Counters = Sampler();
  Counters.Sample();
  TCpuUsageState& S = State();
  if (S.InstanceCount < 0) S.InstanceCount = Counters.ProcessorCount() + 1;
}

int ProcessorCount()
{
  if (State().InstanceCount < 0) SampleProcessorCounters();
  return State().InstanceCount;
}

double ProcessorLoad(int Index)
{
  if (State().InstanceCount < 0) SampleProcessorCounters();
  const int Count = State().InstanceCount;
  if (Index < 0 || Index >= Count) throw Exception("CPU index out of bounds");
  TCpuLoadSampler& Counters = Sampler();
  if (Index == Count - 1) return Counters.TotalLoad() / 100.0;
  // A processor the latest sample does not list (off-line) has no load to show.
  if (Index >= Counters.ProcessorCount()) return 0;
  return Counters.Load(Index) / 100.0;
}

void StopProcessorSampling() {}
