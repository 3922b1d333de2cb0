#include "sdk/work_budget.h"

#include <cstdio>
#include <mutex>

#include "sdk/log.h"

namespace {
std::mutex boundsMutex;
double maxPasses = 0.0;
double warnPasses = 1e4;
std::string advice;

std::string Count(double steps) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", steps);
  return text;
}
}  // namespace

bool AnnounceWork(const std::string& what, double steps) {
  const std::lock_guard<std::mutex> lock(boundsMutex);
  const std::string suffix = advice.empty() ? "" : " (" + advice + ")";
  if (maxPasses > 0.0 && steps > maxPasses) {
    LogEntry(LogLevel::kError,
             what + " takes " + Count(steps) + " passes, more than the " + Count(maxPasses) + " allowed" + suffix);
    return false;
  }
  if (steps > warnPasses)
    LogEntry(LogLevel::kWarning, what + " takes " + Count(steps) + " passes; this may run for a long time" + suffix);
  return true;
}

void SetWorkBounds(double maxSteps, double warnAbove, const std::string& howToBound) {
  const std::lock_guard<std::mutex> lock(boundsMutex);
  maxPasses = maxSteps;
  warnPasses = warnAbove;
  advice = howToBound;
}
