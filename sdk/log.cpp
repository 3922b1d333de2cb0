#include "sdk/log.h"

#include <mutex>

namespace {
std::mutex logMutex;
std::vector<LogRecord> records;
LogSink sink = nullptr;
}  // namespace

void LogEntry(LogLevel level, const std::string& message) {
  const std::lock_guard<std::mutex> lock(logMutex);
  if (sink) sink({level, message});
  else records.push_back({level, message});
}

void SetLogSink(LogSink s) {
  const std::lock_guard<std::mutex> lock(logMutex);
  sink = s;
}

std::vector<LogRecord> TakeLogRecords() {
  const std::lock_guard<std::mutex> lock(logMutex);
  std::vector<LogRecord> out;
  out.swap(records);
  return out;
}
