// Memory for large mesh arrays: transparent huge pages, and reuse of what a rebuild just freed.
#pragma once
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

// Arrays of at least this many bytes are mapped on their own.
constexpr std::size_t kLargeArrayBytes = std::size_t{4} << 20;

// Maps `bytes` (rounded up to 2 MiB) asking the system for transparent huge pages, which halves
// the cost of touching fresh memory; reuses a block that FreeLarge kept when one is big enough,
// or grows one in place (its pages are already there). Throws std::bad_alloc.
void* AllocateLarge(std::size_t bytes);
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
    if (Large(n))
      FreeLarge(p, n * sizeof(T));
    else
      ::operator delete(p);
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
