#include "app/warnings.h"

#include <cstdio>
#include <mutex>
#include <vector>

#include "app/errors.h"
#include "sdk/log.h"

namespace {
bool strictWarnings = false;

// What the plug-ins logged while the host worked on `context`: warnings are shown at once (before
// the work they warn about), everything else waits for ReportPluginLog.
std::mutex pendingMutex;
std::string context;
std::vector<LogRecord> pending;

void Sink(const LogRecord& record) {
  const std::lock_guard<std::mutex> lock(pendingMutex);
  if (record.level == LogLevel::kWarning && !strictWarnings)
    std::fprintf(stderr, "gramora: warning: %s: %s\n", context.c_str(), record.message.c_str());
  else pending.push_back(record);
}
}  // namespace

void Warn(const std::string& message) {
  if (strictWarnings) throw InputError(message + " (an error under --strict)");
  std::fprintf(stderr, "gramora: warning: %s\n", message.c_str());
}

void SetStrictWarnings(bool strict) { strictWarnings = strict; }

void SetPluginLogContext(const std::string& where) {
  SetLogSink(Sink);
  const std::lock_guard<std::mutex> lock(pendingMutex);
  context = where;
}

void ReportPluginLog(const std::string& where) {
  std::vector<LogRecord> records = TakeLogRecords();
  {
    const std::lock_guard<std::mutex> lock(pendingMutex);
    records.insert(records.begin(), pending.begin(), pending.end());
    pending.clear();
  }
  for (const LogRecord& r : records) {
    if (r.level == LogLevel::kError) throw InputError(where + ": " + r.message);
    Warn(where + ": " + r.message);
  }
}
