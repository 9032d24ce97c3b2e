#pragma once
// The console report of Google Benchmark followed by the ratios of pairs of
// benchmarks of the same run (CPU time per iteration).
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace cw::bench {

struct Ratio {
  std::string label;
  std::string slower;  // benchmark names as reported
  std::string faster;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<Ratio> ratios) : ratios_(std::move(ratios)) {}
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<Ratio> ratios_;
  std::map<std::string, double> cpuTime_;  // per iteration, in the run's time unit
};

}  // namespace cw::bench
