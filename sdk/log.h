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

// Adds a line to the log, or hands it to the host's sink when one is set; safe from any thread.
void LogEntry(LogLevel level, const std::string& message);

// Where lines go at once instead of the queue (null: back to the queue), for a host that shows a
// warning before the work it warns about. Called on the logging thread; it must not throw.
using LogSink = void (*)(const LogRecord& record);
void SetLogSink(LogSink sink);

// The lines logged since the last call, oldest first; the log is empty afterwards.
std::vector<LogRecord> TakeLogRecords();
