#include "platform/os/CpuLoad.h"

#include <gtest/gtest.h>

#include "tests/support/TempDirTest.h"

namespace {

// user nice system idle iowait irq softirq steal guest guest_nice
const char* const First =
    "cpu  200 0 100 1600 100 0 0 0 50 0\n"
    "cpu0 100 0 50 800 50 0 0 0 50 0\n"
    "cpu1 100 0 50 800 50 0 0 0 0 0\n"
    "intr 12345\n"
    "ctxt 999\n";
const char* const Second =
    "cpu  500 0 200 1800 100 0 0 0 50 0\n"
    "cpu0 350 0 100 850 50 0 0 0 50 0\n"   // 300 busy of 350: 85.7 %
    "cpu1 150 0 100 950 50 0 0 0 0 0\n"    // 100 busy of 250: 40 %
    "intr 12399\n";

TEST(TCpuLoadSamplerTest, LoadFromTheDifferenceOfTwoSamples)
{
  TCpuLoadSampler sampler("/nonexistent");
  sampler.SampleText(First);
  ASSERT_EQ(sampler.ProcessorCount(), 2);
  // One sample: the load since the start (guest time is inside user time, iowait is idle).
  EXPECT_NEAR(sampler.Load(0), 100.0 * 150 / 1000, 1e-9);
  sampler.SampleText(Second);
  const struct {
    int Index;
    double Load;
  } cases[] = {{0, 100.0 * 300 / 350}, {1, 100.0 * 100 / 250}, {-1, 100.0 * 400 / 600}};
  for (const auto& c : cases) {
    const double load = c.Index < 0 ? sampler.TotalLoad() : sampler.Load(c.Index);
    EXPECT_NEAR(load, c.Load, 1e-9) << c.Index;
  }
  // The same counters again: no time passed, no load.
  sampler.SampleText(Second);
  EXPECT_EQ(sampler.Load(0), 0.0);
  EXPECT_EQ(sampler.TotalLoad(), 0.0);
}

TEST(TCpuLoadSamplerTest, CountersThatGoBackGiveNoLoad)
{
  TCpuLoadSampler sampler("/nonexistent");
  sampler.SampleText(Second);
  sampler.SampleText(First);
  EXPECT_EQ(sampler.Load(0), 0.0);
  EXPECT_EQ(sampler.Load(1), 0.0);
}

TEST(TCpuLoadSamplerTest, BadIndexesAndUnreadableCountersRaise)
{
  TCpuLoadSampler sampler("/nonexistent");
  sampler.SampleText(First);
  for (int index : {-1, 2, 1000}) {
    try {
      sampler.Load(index);
      ADD_FAILURE() << index;
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message(), "CPU index out of bounds");
    }
  }
  EXPECT_THROW(TCpuLoadSampler("/nonexistent").ProcessorCount(), Exception);
  EXPECT_THROW(sampler.SampleText("intr 5\nbogus cpu line\ncpuX 1 2 3 4\n"), Exception);
  EXPECT_EQ(sampler.ProcessorCount(), 2);  // a failed sample leaves the last good one
}

class TCpuLoadFileTest : public TTempDirTest {};

TEST_F(TCpuLoadFileTest, ReadsTheCounterFileAndTheSystemsOwn)
{
  WriteBytes(Dir + "stat", First);
  TCpuLoadSampler fake(Dir + "stat");
  fake.Sample();
  WriteBytes(Dir + "stat", Second);
  fake.Sample();
  EXPECT_NEAR(fake.Load(1), 40.0, 1e-9);

  TCpuLoadSampler real;
  real.Sample();
  ASSERT_GE(real.ProcessorCount(), 1);
  for (int i = 0; i < real.ProcessorCount(); ++i) {
    EXPECT_GE(real.Load(i), 0.0);
    EXPECT_LE(real.Load(i), 100.0);
  }
}

}  // namespace
