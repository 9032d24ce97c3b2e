#include "ratio_reporter.h"

#include <cstdio>

namespace cw::bench {
namespace {

std::string Human(double ns) {
  char text[32];
  if (ns >= 1e6)
    std::snprintf(text, sizeof text, "%.3g ms", ns / 1e6);
  else if (ns >= 1e3)
    std::snprintf(text, sizeof text, "%.3g us", ns / 1e3);
  else
    std::snprintf(text, sizeof text, "%.3g ns", ns);
  return text;
}

}  // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs)
    if (run.run_type == Run::RT_Iteration && run.iterations > 0)
      cpuTime_[run.benchmark_name()] = run.GetAdjustedCPUTime() *
                                       benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                       benchmark::GetTimeUnitMultiplier(run.time_unit);
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::FILE* out = stdout;
  std::fprintf(out, "\nRatios of CPU time per iteration, this run:\n");
  for (const Ratio& r : ratios_) {
    const auto slower = cpuTime_.find(r.slower);
    const auto faster = cpuTime_.find(r.faster);
    if (slower == cpuTime_.end() || faster == cpuTime_.end() || faster->second <= 0) continue;
    std::fprintf(out, "  %-40s %10s / %10s = %8.2fx\n", r.label.c_str(),
                 Human(slower->second).c_str(), Human(faster->second).c_str(),
                 slower->second / faster->second);
  }
  std::fflush(out);
}

}  // namespace cw::bench
