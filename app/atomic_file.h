// Output files that appear whole or not at all.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Writes to a temporary file beside the target and renames it over the target on Commit, so a
// failure never leaves half a file and never spoils an existing one. Without Commit the temporary
// file is removed, also when the process is ended by SIGINT, SIGTERM or SIGHUP while writing.
class AtomicFile {
 public:
  // Creates the temporary file; throws InputError naming the path when the folder is not writable.
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes; throws InputError when the disk refuses them.
  void Write(const void* data, std::size_t size);
  // Sends what Write buffered to the file, so that WriteAt sees it.
  void Flush();
  // Writes bytes at `offset`, leaving the append position alone; safe to call from several threads
  // at once for disjoint ranges. Throws InputError when the disk refuses them (the temporary
  // file is still removed when the AtomicFile is destroyed).
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  // The temporary file's descriptor, for writes at offsets from several threads (pwrite).
  int Descriptor() const;
  // A second descriptor of the temporary file opened with O_DIRECT (writes bypass the page cache and
  // must be whole aligned pages), or -1 when the file system does not offer it. Closed on Commit.
  int DirectDescriptor();
  // Flushes, closes and renames the temporary file over the target; throws InputError on failure.
  void Commit();
  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void Fail(const char* what);
  std::string path_;
  std::string tempPath_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
  int directFd_ = -1;
  int signalSlot_ = -1;  // where the signal handler finds the temporary file, or -1
};
