// Processor load for the status bar's gauges, from the kernel's time counters: one instance per
// processor and, last, the total; each load is the share of busy time between the two latest
// samples.
//
// Contract:
// - The number of instances is fixed by the first sample (processors + 1) and does not change
//   afterwards; ProcessorCount samples once when it is not known yet.
// - A processor that is off-line in either of the two latest samples (its counters are missing,
//   or went back) reads 0 for that step; processors coming and going never make an index that
//   was valid invalid, and never raise.
// - ProcessorLoad raises Exception "CPU index out of bounds" for an index outside the instances;
//   equal samples (no time between them) give 0. An unreadable counter file raises the
//   sampler's Exception.
#pragma once

#include "platform/os/CpuLoad.h"

int ProcessorCount();
void SampleProcessorCounters();
// Fraction 0 to 1.
double ProcessorLoad(int Index);
// Nothing to stop here: the counters are read on demand.
void StopProcessorSampling();

// The counter file ("/proc/stat"); setting it starts over with no sample (tests).
void SetProcessorCounterFile(const String& File);
