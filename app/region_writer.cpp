#include "app/region_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/errors.h"

namespace {
// 48 MiB in all: a block for each open stream (at most five: a glb mesh's arrays) and the rest in flight.
constexpr int kBlocks = 12;

std::uint64_t RoundUp(std::uint64_t offset) {
  return (offset + RegionWriter::kPage - 1) / RegionWriter::kPage * RegionWriter::kPage;
}
}  // namespace

RegionWriter::RegionWriter(AtomicFile& file, bool direct) : file_(file) {
  if (direct) directFd_ = file.DirectDescriptor();
  for (int i = 0; i < kBlocks; ++i) {
    void* p = std::aligned_alloc(kPage, kBlockBytes);
    if (!p) throw std::bad_alloc();
    blocks_.emplace_back(static_cast<char*>(p), std::free);
    free_.push_back(blocks_.back().get());
  }
  worker_ = std::thread([this] { Run(); });
}

RegionWriter::~RegionWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

char* RegionWriter::TakeBlock() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !free_.empty(); });
  char* block = free_.back();
  free_.pop_back();
  return block;
}

void RegionWriter::Submit(std::uint64_t offset, char* block, std::size_t size) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back({offset, block, size});
  }
  changed_.notify_all();
}

void RegionWriter::Run() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = jobs_.front();
    }
    int failed = 0;
    for (std::size_t done = 0; done < job.size && !failed;) {
      const int fd = directFd_ >= 0 ? directFd_ : file_.Descriptor();
      const ssize_t n = pwrite(fd, job.block + done, job.size - done, static_cast<off_t>(job.offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EINVAL && directFd_ >= 0) {
        directFd_ = -1;  // the file system wants other alignments: the page cache it is
        continue;
      }
      if (n <= 0) failed = n < 0 ? errno : ENOSPC;
      else done += static_cast<std::size_t>(n);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (failed && !error_) error_ = failed;
      jobs_.pop_front();
      free_.push_back(job.block);
    }
    changed_.notify_all();
  }
}

void RegionWriter::Finish() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return jobs_.empty(); });
    if (error_) throw InputError("cannot write '" + file_.path() + "': " + std::strerror(error_));
  }
}

void RegionWriter::Stream::Append(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    if (!block_ && pos_ % kPage != 0) {
      // Up to the first page boundary: kept apart, written through the page cache on Close.
      const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(size, RoundUp(pos_) - pos_));
      head_.append(p, take);
      p += take;
      pos_ += take;
      size -= take;
      continue;
    }
    if (!block_) {
      block_ = owner_->TakeBlock();
      blockOffset_ = pos_;
      fill_ = 0;
    }
    const std::size_t take = std::min(size, kBlockBytes - fill_);
    std::memcpy(block_ + fill_, p, take);
    fill_ += take;
    p += take;
    pos_ += take;
    size -= take;
    if (fill_ == kBlockBytes) {
      owner_->Submit(blockOffset_, block_, fill_);
      block_ = nullptr;
    }
  }
}

void RegionWriter::Stream::Close() {
  if (!head_.empty()) owner_->file_.WriteAt(start_, head_.data(), head_.size());
  head_.clear();
  if (!block_) return;
  // Whole pages go the fast way; the last partial page, which the next region shares, through the
  // page cache.
  const std::size_t whole = fill_ / kPage * kPage;
  if (whole < fill_) owner_->file_.WriteAt(blockOffset_ + whole, block_ + whole, fill_ - whole);
  if (whole > 0) {
    owner_->Submit(blockOffset_, block_, whole);
  } else {
    std::lock_guard<std::mutex> lock(owner_->mutex_);
    owner_->free_.push_back(block_);
  }
  owner_->changed_.notify_all();
  block_ = nullptr;
}
