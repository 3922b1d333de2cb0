// What `gramora build --stats` reports: the time of each phase and the peak memory.
#pragma once
#include <cstdint>
#include <cstdio>

#include "app/export_scene.h"
#include "app/scene_eval.h"

// Seconds spent in each phase of one build.
struct BuildStats {
  double scene = 0;  // loading plug-ins, reading the scene, making its objects and modifiers
  EvaluationTimes evaluation;
  ExportTimes output;
  double viewport = 0;  // the --viewport top view (evaluates the nodes again)
  double total = 0;
};

// The largest resident memory the process has had, in bytes.
std::uint64_t PeakMemoryBytes();

// Prints the phases, the total and the peak memory as a small table.
void PrintBuildStats(const BuildStats& stats, std::FILE* out);
