#include "app/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

ProgressBar::ProgressBar(std::string label, bool enabled)
    : label_(std::move(label)), enabled_(enabled && StderrIsTerminal()) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Update(double done, double total) {
  if (!enabled_ || !(total > 0)) return;
  const int percent = static_cast<int>(std::clamp(done / total, 0.0, 1.0) * 100.0);
  const auto now = std::chrono::steady_clock::now();
  if (percent == lastPercent_ || (drawn_ && percent < 100 && now - lastDraw_ < std::chrono::milliseconds(100))) return;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
               std::string(kWidth - filled, ' ').c_str(), percent);
  std::fflush(stderr);
  drawn_ = true;
  lastPercent_ = percent;
  lastDraw_ = now;
}

ProgressFn ProgressBar::Callback() {
  if (!enabled_) return {};
  return [this](double done, double total) { Update(done, total); };
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  std::fprintf(stderr, "\r%s\r", std::string(label_.size() + 40, ' ').c_str());
  std::fflush(stderr);
  drawn_ = false;
}
