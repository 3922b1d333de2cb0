#include "app/warnings.h"

#include <cstdio>

#include "app/errors.h"
#include "sdk/log.h"

namespace {
bool strictWarnings = false;
}  // namespace

void Warn(const std::string& message) {
  if (strictWarnings) throw InputError(message + " (an error under --strict)");
  std::fprintf(stderr, "gramora: warning: %s\n", message.c_str());
}

void SetStrictWarnings(bool strict) { strictWarnings = strict; }

void ReportPluginLog(const std::string& where) {
  for (const LogRecord& r : TakeLogRecords()) {
    if (r.level == LogLevel::kError) throw InputError(where + ": " + r.message);
    Warn(where + ": " + r.message);
  }
}
