// Worker threads for the exporters: loops over independent pieces, and pieces formatted in
// parallel but written in order, on a chosen number of threads.
#pragma once
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#ifndef GRAMORA_TSAN
#define GRAMORA_TSAN 0
#endif

// The number of workers for `requested` (0: one per core).
inline int WorkerCount(int requested) { return requested > 0 ? requested : tbb::this_task_arena::max_concurrency(); }

// Calls body(i) for every i in [0, n), on up to `threads` workers (0: one per core), in any order;
// with one thread, in order on the calling thread. An exception from a body is passed on once all
// workers stopped.
template <class Body>
void ParallelFor(int threads, std::size_t n, const Body& body) {
  if (n == 0) return;
  if (WorkerCount(threads) == 1 || n == 1) {
    for (std::size_t i = 0; i < n; ++i) body(i);
    return;
  }
#if GRAMORA_TSAN
  // Under ThreadSanitizer the workers are plain threads taking indices from a counter: TBB's
  // scheduler is not instrumented, so the order it puts between tasks would be invisible there.
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureMutex;
  std::vector<std::thread> workers;
  for (int w = 0; w < WorkerCount(threads); ++w) {
    workers.emplace_back([&] {
      for (std::size_t i; (i = next.fetch_add(1)) < n;) {
        try {
          body(i);
        } catch (...) {
          const std::lock_guard<std::mutex> lock(failureMutex);
          if (!failure) failure = std::current_exception();
        }
      }
    });
  }
  for (std::thread& w : workers) w.join();
  if (failure) std::rethrow_exception(failure);
  return;
#endif
  tbb::task_arena arena(WorkerCount(threads));
  arena.execute([&] {
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, n, 1), [&](const tbb::blocked_range<std::size_t>& r) {
      for (std::size_t i = r.begin(); i != r.end(); ++i) body(i);
    });
  });
}

// Bytes a worker formats and the writer then writes. Blocks circulate between pieces and keep
// their memory, since fresh memory costs page faults.
struct ByteBlock {
  std::unique_ptr<char[]> data;
  std::size_t capacity = 0, size = 0;

  // Room for n bytes from the start, the old contents dropped; returns the start.
  char* Room(std::size_t n) {
    if (capacity < n) {
      data.reset(new char[n]);
      capacity = n;
    }
    size = 0;
    return data.get();
  }
};

// Calls format(i, block) for pieces 0 to count - 1 on up to `threads` workers (0: one per core),
// and write(i, block) with each formatted piece strictly in order, one piece at a time. Only a
// few pieces are in flight at once. An exception from either is passed on once all stopped.
void OrderedPipeline(int threads, std::size_t count, const std::function<void(std::size_t, ByteBlock&)>& format,
                     const std::function<void(std::size_t, const ByteBlock&)>& write);

// Progress reported from several workers: each adds its share, and whichever worker finds the
// callback free reports the sum (the callback itself never runs on two threads at once).
class SharedProgress {
 public:
  SharedProgress(const std::function<void(double, double)>& report, double total) : report_(report), total_(total) {}
  void Add(double work) {
    const double done = done_.fetch_add(work) + work;
    if (!report_) return;
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (lock.owns_lock()) report_(done, total_);
  }

 private:
  const std::function<void(double, double)>& report_;
  double total_;
  std::atomic<double> done_{0};
  std::mutex mutex_;
};

// Seconds of wall time since `start`.
inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
