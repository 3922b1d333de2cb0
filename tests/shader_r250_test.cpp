// R250Generator: published check values, seeding, the wrap of both indices, the ends of the range,
// and draws from many threads that never interleave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "shader/r250.h"

using gramora::verdigo::ParkMillerStep;
using gramora::verdigo::R250Generator;
using gramora::verdigo::SharedR250;

TEST(R250, ParkMillerPublishedCheck) {
  std::int32_t x = 1;
  for (int i = 0; i < 10000; ++i) x = ParkMillerStep(x);
  EXPECT_EQ(x, 1043618065);
}

TEST(R250, FirstValuesAfterSeed10021) {
  R250Generator g;
  g.seed(10021);
  EXPECT_NEAR(g.next(), 0.534296116916066, 1e-15);
  EXPECT_NEAR(g.next(), 0.15314273213808022, 1e-15);
  EXPECT_NEAR(g.next(), 0.6997870967490103, 1e-15);
}

TEST(R250, SameSeedSameSequenceAndReseedRestarts) {
  R250Generator a, b;
  a.seed(10021);
  b.seed(10021);
  std::vector<double> first;
  for (int i = 0; i < 1000; ++i) {
    first.push_back(a.next());
    ASSERT_EQ(first.back(), b.next()) << i;
  }
  a.seed(10021);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(a.next(), first[i]) << i;
  R250Generator c;
  c.seed(10022);
  EXPECT_NE(c.next(), first[0]);
}

TEST(R250, UnseededDrawsAreZero) {
  R250Generator g;
  for (int i = 0; i < 300; ++i) ASSERT_EQ(g.next(), 0.0);
}

TEST(R250, BothEndsOfTheRangeAreReachable) {
  std::uint32_t words[R250Generator::kWords] = {};
  words[0] = 0xFFFFFFFFu;  // XOR with words[103] = 0 gives all ones
  R250Generator g;
  g.setState(words, 0);
  EXPECT_EQ(g.next(), 1.0);
  words[1] = 0x12345678u;
  words[104] = 0x12345678u;
  g.setState(words, 1);
  EXPECT_EQ(g.next(), 0.0);
}

TEST(R250, IndicesWrap) {
  std::uint32_t words[R250Generator::kWords];
  for (int k = 0; k < R250Generator::kWords; ++k) words[k] = 0x01000193u * static_cast<std::uint32_t>(k + 1);
  struct Case {
    int index;
    int partner;  // the word 103 places on, modulo 250
    int nextIndex;
  };
  for (const Case& c : {Case{146, 249, 147}, Case{147, 0, 148}, Case{249, 102, 0}, Case{0, 103, 1}}) {
    R250Generator g;
    g.setState(words, c.index);
    const double expected = static_cast<double>(words[c.index] ^ words[c.partner]) / 4294967295.0;
    EXPECT_EQ(g.next(), expected) << c.index;
    EXPECT_EQ(g.index(), c.nextIndex) << c.index;
  }
}

TEST(R250, OddSeedsAreFoldedIntoTheValidRange) {
  // 0 would freeze the congruential generator at 0; negative seeds would overflow its product.
  for (std::int32_t s : {0, -1, -2147483647 - 1, 2147483647}) {
    R250Generator g;
    g.seed(s);
    bool nonZero = false;
    for (int i = 0; i < 10; ++i) nonZero = nonZero || g.next() != 0.0;
    EXPECT_TRUE(nonZero) << s;
  }
}

TEST(R250, ThreadsShareTheSequenceOutInWholeRuns) {
  constexpr int kThreads = 4, kBatches = 400, kBatch = 33, kRun = SharedR250::kRunLength;
  constexpr int kRuns = (kBatches * kBatch + kRun - 1) / kRun * kThreads;
  R250Generator reference;
  reference.seed(10021);
  std::vector<float> sequence(kRuns * kRun);
  for (float& v : sequence) v = static_cast<float>(reference.next());

  SharedR250 shared;
  shared.seed(10021);
  std::vector<std::vector<float>> got(kThreads, std::vector<float>(kBatches * kBatch));
  std::vector<std::thread> pool;
  for (int t = 0; t < kThreads; ++t) {
    pool.emplace_back([&, t] {
      for (int b = 0; b < kBatches; ++b) shared.drawBatch(&got[t][b * kBatch], kBatch);
    });
  }
  for (auto& th : pool) th.join();

  // Each thread's values, cut into runs, are aligned runs of the single-threaded sequence (the
  // last one may be left part-used), and no run goes to two threads.
  std::vector<int> used(kRuns, 0);
  for (int t = 0; t < kThreads; ++t) {
    for (int start = 0; start < kBatches * kBatch; start += kRun) {
      const int length = std::min(kRun, kBatches * kBatch - start);
      const float* mine = &got[t][start];
      int match = -1;
      for (int run = 0; run < kRuns && match < 0; ++run)
        if (std::equal(mine, mine + length, &sequence[run * kRun])) match = run;
      ASSERT_GE(match, 0) << "thread " << t << " value " << start;
      ++used[match];
    }
  }
  EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](int n) { return n <= 1; }));
}

TEST(R250, OneThreadDrawsTheSequenceInOrderAndReseedingRestartsIt) {
  R250Generator reference;
  reference.seed(10021);
  std::vector<float> sequence(3000);
  for (float& v : sequence) v = static_cast<float>(reference.next());
  SharedR250 shared;
  for (int pass = 0; pass < 2; ++pass) {
    shared.seed(10021);  // the second pass drops what is left of the first pass's run
    std::vector<float> got(sequence.size());
    for (std::size_t i = 0; i < got.size(); i += 33)
      shared.drawBatch(&got[i], static_cast<int>(std::min<std::size_t>(33, got.size() - i)));
    EXPECT_TRUE(got == sequence) << "pass " << pass;
  }
}
