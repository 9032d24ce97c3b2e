#include "plugin/startup_report.h"

#include <cstring>
#include <iterator>
#include <mutex>
#include <utility>

#include "plugin/debug_log.h"
#include "plugin/registration.h"
#include "plugin/version.h"

namespace cw::startup_report {
namespace {

constexpr const char* kClasses[] = {kClassUtility, kClassChildEnchant, kClassTextContents};
constexpr std::size_t kClassCount = std::size(kClasses);

struct Report {
  std::mutex lock;
  bool begun = false;
  Facts facts;
  bool registered[kClassCount] = {};
  std::size_t counts[kClassCount] = {};
};

Report& TheReport() {
  static Report report;
  return report;
}

}  // namespace

void Begin(Facts facts) {
  Report& r = TheReport();
  std::lock_guard<std::mutex> guard(r.lock);
  r.begun = true;
  r.facts = std::move(facts);
  for (std::size_t i = 0; i < kClassCount; ++i) {
    r.registered[i] = false;
    r.counts[i] = 0;
  }
}

void Registered(const char* className, std::size_t count) {
  Report& r = TheReport();
  std::lock_guard<std::mutex> guard(r.lock);
  if (!r.begun) return;
  bool all = true;
  for (std::size_t i = 0; i < kClassCount; ++i) {
    if (std::strcmp(className, kClasses[i]) == 0) {
      r.registered[i] = true;
      r.counts[i] = count;
    }
    all = all && r.registered[i];
  }
  if (!all) return;
  r.begun = false;
  IDebugLog& log = Log();
  if (log.Level() < 3) return;
  log.Message("Cradlewright %s: game %s, %s (%zu entries), natives %s %zu, %s %zu, %s %zu",
              CW_VERSION_TEXT, r.facts.gameVersion.c_str(), r.facts.databaseFile.c_str(),
              r.facts.entryCount, kClasses[0], r.counts[0], kClasses[1], r.counts[1], kClasses[2],
              r.counts[2]);
}

}  // namespace cw::startup_report
