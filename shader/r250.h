// R250Generator: the shader's own random numbers, a generalised feedback shift register
// x[n] = x[n-103] XOR x[n-250] over 32-bit words, seeded from Park and Miller's minimal standard generator.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

namespace gramora::verdigo {

// One step of the minimal standard congruential generator (multiplier 16807, modulus 2^31 - 1),
// with Schrage's decomposition so no product overflows 32 bits.
std::int32_t ParkMillerStep(std::int32_t x);

// The bare generator: not safe for concurrent use on its own (see SharedR250).
class R250Generator {
 public:
  static constexpr int kWords = 250;

  // Restarts the generator from seed s.
  void seed(std::int32_t s);
  // The next value in [0, 1], both ends included.
  double next();

  // Installs an explicit state (words and index); used to reach chosen words in tests.
  void setState(const std::uint32_t (&words)[kWords], int index);
  int index() const { return index_; }

 private:
  std::int32_t congruential();

  std::uint32_t words_[kWords] = {};
  int index_ = 0;
  std::int32_t seedState_ = 1;
};

// The process-wide generator shared by all rendering threads: one sequence, handed out in runs.
// A thread takes kRunLength consecutive values under the lock and draws from them without it
// until they are used up, so the lock is taken once per many samples instead of once per sample
// (with two threads the per-sample lock cost a fifth of the time). With one thread the values come
// in the sequence's order, exactly as drawn one by one; with several, each thread's values are
// whole runs of the sequence in order, and a sample's values may continue in the thread's next run.
class SharedR250 {
 public:
  static constexpr int kRunLength = 1024;

  SharedR250();
  // Restarts the sequence; runs that threads still hold from before are dropped.
  void seed(std::int32_t s);
  // Writes the calling thread's next n values, each rounded to single precision, into out.
  void drawBatch(float* out, int n);

 private:
  std::mutex mutex_;
  R250Generator gen_;
  std::atomic<std::uint64_t> epoch_;  // which seeding the current runs come from
};

// The one generator of the shader library, seeded by verdigo_init.
SharedR250& ShaderRandom();

}  // namespace gramora::verdigo
