// Memory for large mesh arrays: mappings of their own, reused when a rebuild frees and asks again,
// and transparent huge pages on request.
#pragma once
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

// Arrays of at least this many bytes are mapped on their own.
constexpr std::size_t kLargeArrayBytes = std::size_t{4} << 20;

// Maps `bytes` (rounded up to 2 MiB, aligned to 2 MiB); reuses a block that FreeLarge kept when one
// is big enough, or grows one in place (its pages are already there). Throws std::bad_alloc.
void* AllocateLarge(std::size_t bytes);
// Whether fresh large blocks ask for transparent huge pages (madvise MADV_HUGEPAGE); off at start.
// Huge pages make touching memory cheaper where the system has them at hand, but a virtual
// machine that hands free memory back to its host (free page reporting) gives huge pages only
// from memory the host must fault in again: there first touch was 3 to 5 times slower with them
// (docs/performance.md), so a host turns them on only where they pay.
void AdviseHugePages(bool on);
// Gives back a block from AllocateLarge of that size. The last few blocks are kept, so that a
// mesh rebuilt at the same size (a lawn at another frame, the modifier pipeline's next copy)
// finds its memory in place instead of faulting fresh pages in again.
void FreeLarge(void* p, std::size_t bytes);
// Returns every kept block to the system; for hosts that stay up between builds.
void ReleaseKeptMemory();
// Bytes in kept blocks.
std::size_t KeptBytes();

// The allocator of mesh arrays: large arrays through AllocateLarge, small ones from the heap. Under
// AddressSanitizer everything comes from the heap, so overruns are still caught.
template <class T>
struct HostAllocator {
  using value_type = T;
  HostAllocator() = default;
  template <class U>
  HostAllocator(const HostAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
    if (Large(n)) return static_cast<T*>(AllocateLarge(n * sizeof(T)));
    return static_cast<T*>(::operator new(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) {
    if (Large(n)) FreeLarge(p, n * sizeof(T));
    else ::operator delete(p);
  }
  friend bool operator==(const HostAllocator&, const HostAllocator&) { return true; }

 private:
  static bool Large(std::size_t n) {
#if defined(__SANITIZE_ADDRESS__)
    (void)n;
    return false;
#else
    return n * sizeof(T) >= kLargeArrayBytes;
#endif
  }
};

// A std::vector whose storage comes from HostAllocator.
template <class T>
using HostVector = std::vector<T, HostAllocator<T>>;
