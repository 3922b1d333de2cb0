#include "sdk/log.h"

#include <mutex>

namespace {
std::mutex logMutex;
std::vector<LogRecord> records;
}  // namespace

void LogEntry(LogLevel level, const std::string& message) {
  const std::lock_guard<std::mutex> lock(logMutex);
  records.push_back({level, message});
}

std::vector<LogRecord> TakeLogRecords() {
  const std::lock_guard<std::mutex> lock(logMutex);
  std::vector<LogRecord> out;
  out.swap(records);
  return out;
}
