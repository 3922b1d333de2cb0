#include "sdk/large_alloc.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Enough for a mesh's four arrays and the pipeline copy's four.
constexpr std::size_t kKeptBlocks = 8;

struct Block {
  void* p;
  std::size_t size;
};

std::atomic<bool> hugePages{false};
std::mutex keptMutex;
std::vector<Block> kept;  // oldest first

std::size_t RoundUp(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

void Advise(void* p, std::size_t size) {
  // Only advice: without transparent huge pages the memory works the same, in small pages.
  if (hugePages.load(std::memory_order_relaxed)) madvise(p, size, MADV_HUGEPAGE);
}

// A fresh mapping aligned to a huge page, so that all of it can be backed by huge pages when asked.
void* MapFresh(std::size_t size) {
  void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::size_t tail = kHugePage - (aligned - start);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* p = reinterpret_cast<void*>(aligned);
  Advise(p, size);
  return p;
}

// A kept block resized to `size`: the smallest one that is big enough, its tail returned; else the
// largest one, grown. Null when nothing is kept or growing fails.
void* TakeKept(std::size_t size) {
  std::lock_guard<std::mutex> lock(keptMutex);
  if (kept.empty()) return nullptr;
  auto best = kept.end();
  for (auto it = kept.begin(); it != kept.end(); ++it)
    if (it->size >= size && (best == kept.end() || it->size < best->size)) best = it;
  if (best != kept.end()) {
    const Block b = *best;
    kept.erase(best);
    if (b.size > size) munmap(static_cast<char*>(b.p) + size, b.size - size);
    return b.p;
  }
  auto largest =
      std::max_element(kept.begin(), kept.end(), [](const Block& a, const Block& b) { return a.size < b.size; });
  const Block b = *largest;
  kept.erase(largest);
  void* p = mremap(b.p, b.size, size, MREMAP_MAYMOVE);
  if (p == MAP_FAILED) {
    munmap(b.p, b.size);
    return nullptr;
  }
  Advise(p, size);
  return p;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  const std::size_t size = RoundUp(std::max<std::size_t>(bytes, 1));
  if (void* p = TakeKept(size)) return p;
  return MapFresh(size);
}

void AdviseHugePages(bool on) { hugePages = on; }

void FreeLarge(void* p, std::size_t bytes) {
  if (!p) return;
  std::lock_guard<std::mutex> lock(keptMutex);
  kept.push_back({p, RoundUp(std::max<std::size_t>(bytes, 1))});
  if (kept.size() > kKeptBlocks) {
    munmap(kept.front().p, kept.front().size);
    kept.erase(kept.begin());
  }
}

void ReleaseKeptMemory() {
  std::lock_guard<std::mutex> lock(keptMutex);
  for (const Block& b : kept) munmap(b.p, b.size);
  kept.clear();
}

std::size_t KeptBytes() {
  std::lock_guard<std::mutex> lock(keptMutex);
  std::size_t total = 0;
  for (const Block& b : kept) total += b.size;
  return total;
}
