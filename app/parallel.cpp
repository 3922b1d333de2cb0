#include "app/parallel.h"

#include <tbb/parallel_pipeline.h>

#include <deque>
#include <vector>

void OrderedPipeline(int threads, std::size_t count, const std::function<void(std::size_t, ByteBlock&)>& format,
                     const std::function<void(std::size_t, const ByteBlock&)>& write) {
  // A piece travels with its block; the blocks live in `blocks`, so nothing leaks when a stage
  // throws half-way.
  struct Piece {
    std::size_t index;
    ByteBlock* block;
  };
  std::mutex poolMutex;
  std::deque<ByteBlock> blocks;
  std::vector<ByteBlock*> pool;
  std::size_t next = 0;
  // The stages hand pieces over through TBB's scheduler, which ThreadSanitizer cannot see: in that
  // build the pipeline runs on the calling thread alone.
  const int workers = GRAMORA_TSAN ? 1 : WorkerCount(threads);
  const auto take = [&](tbb::flow_control& fc) -> Piece {
    if (next == count) {
      fc.stop();
      return {};
    }
    std::lock_guard<std::mutex> lock(poolMutex);
    ByteBlock* block = nullptr;
    if (pool.empty()) {
      block = &blocks.emplace_back();
    } else {
      block = pool.back();
      pool.pop_back();
    }
    return {next++, block};
  };
  const auto work = [&](Piece piece) {
    format(piece.index, *piece.block);
    return piece;
  };
  const auto put = [&](Piece piece) {
    write(piece.index, *piece.block);
    std::lock_guard<std::mutex> lock(poolMutex);
    pool.push_back(piece.block);
  };
  tbb::task_arena arena(workers);
  arena.execute([&] {
    tbb::parallel_pipeline(static_cast<std::size_t>(2 * workers + 1),
                           tbb::make_filter<void, Piece>(tbb::filter_mode::serial_in_order, take) &
                               tbb::make_filter<Piece, Piece>(tbb::filter_mode::parallel, work) &
                               tbb::make_filter<Piece, void>(tbb::filter_mode::serial_in_order, put));
  });
}
