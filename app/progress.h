// A progress bar for long builds and exports, shown only on a terminal.
#pragma once
#include <chrono>
#include <string>

#include "app/export_scene.h"

// Draws "label [#####     ]  42%" on standard error while work runs. It stays silent when
// standard error is not a terminal or when the user asked for quiet output.
class ProgressBar {
 public:
  ProgressBar(std::string label, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Records progress; redraws at most every 100 ms.
  void Update(double done, double total);
  // A callback for the exporters that updates this bar.
  ProgressFn Callback();
  // Clears the bar's line.
  void Finish();

 private:
  std::string label_;
  bool enabled_;
  bool drawn_ = false;
  int lastPercent_ = -1;
  std::chrono::steady_clock::time_point lastDraw_{};
};

// True when standard error is a terminal.
bool StderrIsTerminal();
