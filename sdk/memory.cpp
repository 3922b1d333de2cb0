#include "sdk/memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "sdk/cgroup_memory.h"
#include "sdk/large_alloc.h"

namespace {
constexpr std::size_t kAlwaysAllowed = std::size_t{64} << 20;
constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();
std::atomic<std::size_t> hostLimit{0};
std::atomic<unsigned> meshCopies{1};

// MemAvailable plus SwapFree from /proc/meminfo, or the free physical pages when it cannot be read.
std::size_t SystemAvailable() {
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
  return pages > 0 && size > 0 ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(size) : kUnlimited;
}

// What the address-space limit leaves beside the address space already mapped.
std::size_t AddressSpaceLeft() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
  unsigned long long pages = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%llu", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  const std::size_t used = static_cast<std::size_t>(pages) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return limit.rlim_cur > used ? static_cast<std::size_t>(limit.rlim_cur) - used : 0;
}
}  // namespace

std::size_t HostHeadroom() {
  std::size_t headroom = std::min({SystemAvailable(), CgroupMemoryLeft(""), AddressSpaceLeft()});
  // Blocks the host keeps for reuse are already counted as used, yet the next large allocation
  // takes them first.
  const std::size_t kept = KeptBytes();
  headroom = headroom > kUnlimited - kept ? kUnlimited : headroom + kept;
  if (const std::size_t cap = hostLimit.load(); cap != 0) headroom = std::min(headroom, cap);
  return headroom;
}

bool HostCanHold(std::size_t bytes) {
  if (const std::size_t cap = hostLimit.load(); cap != 0 && bytes > cap) return false;
  if (bytes < kAlwaysAllowed) return true;
  return bytes <= HostHeadroom();
}

void SetHostMemoryLimit(std::size_t bytes) { hostLimit.store(bytes); }

std::size_t EstimatePeakBytes(std::size_t meshBytes, unsigned hostCopies, std::size_t mapBytes,
                              std::size_t fieldBytes) {
  // Saturating: an estimate beyond the address space is simply "too much".
  const auto add = [](std::size_t a, std::size_t b) { return a > kUnlimited - b ? kUnlimited : a + b; };
  const std::size_t copies = std::max(hostCopies, 1u);
  const std::size_t meshes = meshBytes > kUnlimited / copies ? kUnlimited : meshBytes * copies;
  return add(add(meshes, mapBytes), fieldBytes);
}

void SetHostMeshCopies(unsigned copies) { meshCopies.store(std::max(copies, 1u)); }

unsigned HostMeshCopies() { return meshCopies.load(); }

std::string DescribeBytes(std::size_t bytes) {
  char text[32];
  const double b = static_cast<double>(bytes);
  if (b >= 1e12) std::snprintf(text, sizeof text, "%.1f TB", b / 1e12);
  else if (b >= 1e9) std::snprintf(text, sizeof text, "%.1f GB", b / 1e9);
  else if (b >= 1e6) std::snprintf(text, sizeof text, "%.0f MB", b / 1e6);
  else std::snprintf(text, sizeof text, "%.0f kB", b / 1e3);
  return text;
}
