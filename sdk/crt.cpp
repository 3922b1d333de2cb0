#include "sdk/crt.h"

#include <cstdint>

namespace crt {
namespace {
// Only the host's main thread draws; the sequence is deliberately not guarded.
std::uint32_t state = 1;
}  // namespace

void srand(unsigned int seed) { state = seed; }

int rand() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

}  // namespace crt
