// Alternating timed runs of a piece of work and its baseline (the same work done the plainest
// way), printed as the median ratio with its spread and the goal beside it. Machines here are
// shared: ratios taken pair by pair, alternating, are what the goals are stated in.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace qv::bench {

struct TRatioResult {
  double Median = 0, Low = 0, High = 0;  // ours / baseline
  double OursMs = 0, BaseMs = 0;         // medians
};

// Setup (untimed) runs before each timed run and may prepare what the run consumes.
inline TRatioResult AlternateRuns(int Pairs, const std::function<void()>& Setup, const std::function<void()>& Ours,
                                  const std::function<void()>& Baseline)
{
  using Clock = std::chrono::steady_clock;
  auto Time = [&](const std::function<void()>& F) {
    if (Setup) Setup();
    const auto T0 = Clock::now();
    F();
    return std::chrono::duration<double, std::milli>(Clock::now() - T0).count();
  };
  std::vector<double> Ratios, O, B;
  for (int I = 0; I < Pairs; ++I) {
    const bool OursFirst = I % 2 == 0;
    const double A = Time(OursFirst ? Ours : Baseline);
    const double Z = Time(OursFirst ? Baseline : Ours);
    const double TO = OursFirst ? A : Z, TB = OursFirst ? Z : A;
    O.push_back(TO);
    B.push_back(TB);
    Ratios.push_back(TB > 0 ? TO / TB : 0);
  }
  auto Med = [](std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
  };
  TRatioResult R;
  R.Median = Med(Ratios);
  R.Low = *std::min_element(Ratios.begin(), Ratios.end());
  R.High = *std::max_element(Ratios.begin(), Ratios.end());
  R.OursMs = Med(O);
  R.BaseMs = Med(B);
  return R;
}

inline void PrintRatio(const char* What, const TRatioResult& R, const char* Goal)
{
  std::printf("%-44s %9.2f ms vs %9.2f ms  ratio %.2f (%.2f-%.2f)  goal %s\n", What, R.OursMs, R.BaseMs, R.Median,
              R.Low, R.High, Goal);
}

}  // namespace qv::bench
