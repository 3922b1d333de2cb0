#include "shader/r250.h"

namespace gramora::verdigo {

namespace {
constexpr std::int32_t kMultiplier = 16807;
constexpr std::int32_t kModulus = 2147483647;
constexpr std::int32_t kQuotient = 127773;
constexpr std::int32_t kRemainder = 2836;
}  // namespace

std::int32_t ParkMillerStep(std::int32_t x) {
  if (x <= kQuotient) {
    // x * 16807 < 2^31 here, so the product is exact in 32 bits.
    return (x * kMultiplier) % kModulus;
  }
  const std::int32_t hi = x / kQuotient;
  const std::int32_t lo = x % kQuotient;
  const std::int32_t t = kMultiplier * lo - kRemainder * hi;
  return t > 0 ? t : t + kModulus;
}

std::int32_t R250Generator::congruential() {
  seedState_ = ParkMillerStep(seedState_);
  return seedState_;
}

void R250Generator::seed(std::int32_t s) {
  // The congruential state must lie in 1 .. 2^31 - 2; other seeds are folded into that range
  // (0 would stay 0 for ever, and negative states would overflow the product above).
  std::int64_t folded = (static_cast<std::int64_t>(s) % kModulus + kModulus) % kModulus;
  if (folded == 0) folded = 1;
  seedState_ = static_cast<std::int32_t>(folded);
  index_ = 0;
  for (int k = 0; k < kWords; ++k) words_[k] = static_cast<std::uint32_t>(congruential());
  for (int k = 0; k < kWords; ++k) {
    if (static_cast<std::uint32_t>(congruential()) > 0x40000000u) words_[k] |= 0x80000000u;
  }
  // A triangular set of bit patterns in words 3, 10, ..., 220 makes the 32 bit columns independent.
  for (int j = 0; j < 32; ++j) {
    const int k = 7 * j + 3;
    const std::uint32_t mask = 0xFFFFFFFFu >> j;
    const std::uint32_t bit = 0x80000000u >> j;
    words_[k] = (words_[k] & mask) | bit;
  }
}

double R250Generator::next() {
  const int j = index_ >= 147 ? index_ - 147 : index_ + 103;
  const std::uint32_t n = words_[index_] ^ words_[j];
  words_[index_] = n;
  index_ = index_ == kWords - 1 ? 0 : index_ + 1;
  return static_cast<double>(n) / 4294967295.0;
}

void R250Generator::setState(const std::uint32_t (&words)[kWords], int index) {
  for (int k = 0; k < kWords; ++k) words_[k] = words[k];
  index_ = (index % kWords + kWords) % kWords;
}

namespace {
// Every seeding of every generator gets its own number, so a thread never mistakes a run of an
// earlier seeding (or of another generator) for a current one.
std::atomic<std::uint64_t> nextEpoch{1};

// The run a thread is drawing from.
struct Run {
  std::uint64_t epoch = 0;
  int next = 0, count = 0;
  float values[SharedR250::kRunLength];
};
thread_local Run threadRun;
}  // namespace

SharedR250::SharedR250() : epoch_(nextEpoch++) {}

void SharedR250::seed(std::int32_t s) {
  std::lock_guard<std::mutex> lock(mutex_);
  gen_.seed(s);
  epoch_ = nextEpoch++;
}

void SharedR250::drawBatch(float* out, int n) {
  Run& run = threadRun;
  if (run.epoch != epoch_.load(std::memory_order_acquire)) run.next = run.count = 0;
  while (n > 0) {
    if (run.next == run.count) {
      std::lock_guard<std::mutex> lock(mutex_);
      for (float& v : run.values) v = static_cast<float>(gen_.next());
      run.epoch = epoch_.load(std::memory_order_relaxed);
      run.next = 0;
      run.count = kRunLength;
    }
    const int take = n < run.count - run.next ? n : run.count - run.next;
    for (int i = 0; i < take; ++i) out[i] = run.values[run.next + i];
    run.next += take;
    out += take;
    n -= take;
  }
}

}  // namespace gramora::verdigo
