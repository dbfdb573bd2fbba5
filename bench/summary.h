// Collects the time of every repetition of every benchmark while they run
// (and shows Google Benchmark's own lines), then prints the ratios the
// driver is held to, each from the medians of both sides.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace bench {

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& Runs) override;

  // Whether a benchmark ran; its median and its spread ((max - min) / median)
  // in nanoseconds per iteration over the repetitions, of the real time or
  // of the CPU time of the benchmark's thread.
  enum class Clock { Real, Cpu };
  bool Has(const std::string& Name) const { return Real_.count(Name) != 0; }
  double Median(const std::string& Name, Clock Of = Clock::Real) const;
  double Spread(const std::string& Name, Clock Of = Clock::Real) const;
  std::size_t Repetitions() const;

  // Top over Bottom, side by side: the median of the ratios of the
  // repetitions run in the same round (with random interleaving every
  // benchmark runs its repetition I in round I), so that a machine that is
  // busier in one round than in another weighs on both sides alike.
  double Ratio(const std::string& Top, const std::string& Bottom, Clock Of = Clock::Real) const;

 private:
  // Nanoseconds per iteration by repetition.
  using Samples = std::map<std::int64_t, double>;
  const Samples& Of(const std::string& Name, Clock Which) const {
    return (Which == Clock::Real ? Real_ : Cpu_).at(Name);
  }
  std::map<std::string, Samples> Real_, Cpu_;
};

struct HeapFigure {
  int Positions = 0;
  std::size_t PackageBytes = 0;  // the package text as the host passes it
  std::size_t PeakBytes = 0;
};

struct SummaryInput {
  std::vector<int> Sizes;        // ProcessCheck sizes
  std::vector<int> DriverSizes;  // driver-side cost sizes
  std::vector<HeapFigure> Heap;
};

// Prints the ratio table; returns how many targets were checked and missed.
int PrintSummary(const SummaryReporter& Results, const SummaryInput& Input);

}  // namespace bench
