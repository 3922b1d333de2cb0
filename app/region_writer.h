// Large outputs written in whole pages around the page cache, from streams of bytes that each
// fill one region of the file in order.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/atomic_file.h"

// Writes regions of a file from streams of bytes. With `direct`, whole pages go to the disk
// through O_DIRECT on a background thread while the caller formats the next bytes: for files of
// gigabytes that is several times faster than the page cache, whose every page is memory touched
// for the first time (and, past the kernel's dirty limit, throttled anyway). The partial pages at
// the ends of each region, shared with the neighbouring regions, and all writes where the file
// system refuses O_DIRECT go through the page cache; the bytes are the same either way.
class RegionWriter {
 public:
  RegionWriter(AtomicFile& file, bool direct);
  // Stops the background thread; writes not finished are abandoned (the file is not committed).
  ~RegionWriter();
  RegionWriter(const RegionWriter&) = delete;
  RegionWriter& operator=(const RegionWriter&) = delete;

  // One region: bytes appended in order from its first offset on.
  class Stream {
   public:
    void Append(const void* data, std::size_t size);
    // Writes what is left; the stream is done.
    void Close();

   private:
    friend class RegionWriter;
    Stream(RegionWriter& owner, std::uint64_t offset) : owner_(&owner), start_(offset), pos_(offset) {}
    RegionWriter* owner_;
    std::uint64_t start_, pos_;
    std::string head_;       // bytes before the region's first page boundary
    char* block_ = nullptr;  // whole pages from blockOffset_ on
    std::uint64_t blockOffset_ = 0;
    std::size_t fill_ = 0;
  };

  // A stream for the region that starts at `offset`.
  Stream Open(std::uint64_t offset) { return Stream(*this, offset); }
  // Waits for every write; throws InputError naming the file when one failed.
  void Finish();

  static constexpr std::size_t kPage = 4096;
  static constexpr std::size_t kBlockBytes = std::size_t{4} << 20;

 private:
  struct Job {
    std::uint64_t offset;
    char* block;
    std::size_t size;
  };
  char* TakeBlock();
  void Submit(std::uint64_t offset, char* block, std::size_t size);
  void Run();

  AtomicFile& file_;
  int directFd_ = -1;
  std::vector<std::unique_ptr<char, void (*)(void*)>> blocks_;
  std::vector<char*> free_;
  std::deque<Job> jobs_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  int error_ = 0;  // errno of the first failed write
  std::thread worker_;
};
