#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/errors.h"

namespace fs = std::filesystem;

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  const fs::path target(path_);
  std::error_code ec;  // a path the system cannot even look at is reported by mkstemp below
  if (fs::is_directory(target, ec)) throw InputError("cannot write '" + path_ + "': it is a folder");
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // mkstemp gives a fresh name in the target's own folder, so the final rename never crosses a
  // file system and is atomic.
  std::string name = ".";
  name += target.filename().string();
  name += ".tmpXXXXXX";
  std::string pattern = (dir / name).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw InputError("cannot write '" + path_ + "': " + std::strerror(errno));
  tempPath_ = pattern;
  // mkstemp makes the file private; give it the mode a plainly created file would have.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    close(fd);
    std::remove(tempPath_.c_str());
    throw InputError("cannot write '" + path_ + "': " + std::strerror(errno));
  }
}

AtomicFile::~AtomicFile() {
  if (file_) std::fclose(file_);
  if (!committed_ && !tempPath_.empty()) std::remove(tempPath_.c_str());
}

void AtomicFile::Fail(const char* what) {
  const std::string reason = std::strerror(errno);
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::remove(tempPath_.c_str());
  tempPath_.clear();
  throw InputError(std::string("cannot ") + what + " '" + path_ + "': " + reason);
}

void AtomicFile::Write(const void* data, std::size_t size) {
  if (!file_) Fail("write");
  if (size && std::fwrite(data, 1, size, file_) != size) Fail("write");
}

void AtomicFile::Commit() {
  if (!file_) Fail("write");
  if (std::fflush(file_) != 0) Fail("write");
  if (std::fclose(file_) != 0) {
    file_ = nullptr;
    Fail("write");
  }
  file_ = nullptr;
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) Fail("rename the output to");
  committed_ = true;
}
