#include "app/build_stats.h"

#include <sys/resource.h>

std::uint64_t PeakMemoryBytes() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux counts kilobytes
}

void PrintBuildStats(const BuildStats& stats, std::FILE* out) {
  const struct {
    const char* phase;
    double seconds;
  } rows[] = {{"scene", stats.scene},
              {"build", stats.evaluation.build},
              {"modifiers", stats.evaluation.modifiers},
              {"normals", stats.output.normals},
              {"export", stats.output.write},
              {"viewport", stats.viewport},
              {"total", stats.total}};
  std::fprintf(out, "%-12s %9s\n", "phase", "seconds");
  for (const auto& row : rows) std::fprintf(out, "%-12s %9.3f\n", row.phase, row.seconds);
  std::fprintf(out, "%-12s %9.1f MB\n", "peak memory", static_cast<double>(PeakMemoryBytes()) / 1e6);
}
