// The host's log: what a plug-in refuses or cannot do (a lawn too large to hold, a data file
// outside its description's folder) is logged here instead of printed, and the host decides how
// the user sees it.
#pragma once
#include <string>
#include <vector>

enum class LogLevel { kWarning, kError };

// One logged line.
struct LogRecord {
  LogLevel level;
  std::string message;
};

// Adds a line to the log; safe from any thread.
void LogEntry(LogLevel level, const std::string& message);

// The lines logged since the last call, oldest first; the log is empty afterwards.
std::vector<LogRecord> TakeLogRecords();
