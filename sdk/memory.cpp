#include "sdk/memory.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
constexpr std::size_t kAlwaysAllowed = std::size_t{64} << 20;
std::size_t limit = 0;

// MemAvailable plus SwapFree from /proc/meminfo, or the free physical pages when it cannot be read.
std::size_t AvailableBytes() {
  std::size_t total = 0;
  bool found = false;
  if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      unsigned long long kb = 0;
      if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1 || std::sscanf(line, "SwapFree: %llu kB", &kb) == 1) {
        total += static_cast<std::size_t>(kb) * 1024;
        found = true;
      }
    }
    std::fclose(f);
  }
  if (found) return total;
  const long pages = sysconf(_SC_AVPHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  return pages > 0 && size > 0 ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(size) : SIZE_MAX;
}
}  // namespace

bool HostCanHold(std::size_t bytes) {
  if (limit != 0 && bytes > limit) return false;
  if (bytes < kAlwaysAllowed) return true;
  return bytes <= AvailableBytes();
}

void SetHostMemoryLimit(std::size_t bytes) { limit = bytes; }
