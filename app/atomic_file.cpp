#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "app/errors.h"

namespace fs = std::filesystem;

namespace {

// Temporary files not yet renamed, for the signal handler: an export interrupted by Ctrl-C or a
// kill must not leave a hidden partial file, possibly gigabytes, beside its target. Fixed storage,
// because the handler may only call async-signal-safe functions (unlink, signal, raise).
constexpr int kSignalSlots = 8;
char signalPaths[kSignalSlots][4096];
volatile std::sig_atomic_t signalUsed[kSignalSlots];

extern "C" void RemoveTemporariesAndDie(int sig) {
  for (int i = 0; i < kSignalSlots; ++i)
    if (signalUsed[i]) unlink(signalPaths[i]);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// Installs the handler once, for the signals that are not ignored (a background job ignores
// SIGINT and must go on doing so).
void InstallSignalHandler() {
  static const bool installed = [] {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction old {};
      if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
      struct sigaction sa {};
      sa.sa_handler = RemoveTemporariesAndDie;
      sigemptyset(&sa.sa_mask);
      sigaction(sig, &sa, nullptr);
    }
    return true;
  }();
  (void)installed;
}

// A slot holding `path` for the handler, or -1 when all are taken or the path does not fit.
int RegisterTemporary(const std::string& path) {
  InstallSignalHandler();
  if (path.size() >= sizeof signalPaths[0]) return -1;
  for (int i = 0; i < kSignalSlots; ++i) {
    if (signalUsed[i]) continue;
    std::memcpy(signalPaths[i], path.c_str(), path.size() + 1);
    signalUsed[i] = 1;
    return i;
  }
  return -1;
}

void ReleaseTemporary(int& slot) {
  if (slot >= 0) signalUsed[slot] = 0;
  slot = -1;
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  const fs::path target(path_);
  std::error_code ec;  // a path the system cannot even look at is reported by mkstemp below
  if (fs::is_directory(target, ec)) throw InputError("cannot write '" + path_ + "': it is a folder");
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // The target's own name must fit the folder's limit; the temporary's is shortened to fit, so a
  // name just under the limit still works.
  const long nameMax = pathconf(dir.c_str(), _PC_NAME_MAX);
  const std::size_t limit = nameMax > 0 ? static_cast<std::size_t>(nameMax) : 255;
  const std::string base = target.filename().string();
  if (base.size() > limit) throw InputError("cannot write '" + path_ + "': " + std::strerror(ENAMETOOLONG));
  // mkstemp gives a fresh, unpredictable name that it creates exclusively (O_EXCL), so nothing
  // planted beside the target can be followed; in the target's own folder the final rename never
  // crosses a file system and is atomic.
  constexpr std::size_t kDecoration = 11;  // "." + ".tmpXXXXXX"
  std::string name = ".";
  name += base.substr(0, limit >= kDecoration ? std::min(base.size(), limit - kDecoration) : 0);
  name += ".tmpXXXXXX";
  std::string pattern = (dir / name).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw InputError("cannot write '" + path_ + "': " + std::strerror(errno));
  tempPath_ = pattern;
  signalSlot_ = RegisterTemporary(tempPath_);
  // mkstemp makes the file private; give it an existing target's permission bits, or the mode a
  // plainly created file would have.
  struct stat existing {};
  if (stat(path_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    fchmod(fd, existing.st_mode & 0777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  file_ = fdopen(fd, "wb");
  if (!file_) {
    close(fd);
    std::remove(tempPath_.c_str());
    ReleaseTemporary(signalSlot_);
    throw InputError("cannot write '" + path_ + "': " + std::strerror(errno));
  }
}

AtomicFile::~AtomicFile() {
  if (directFd_ >= 0) close(directFd_);
  if (file_) std::fclose(file_);
  if (!committed_ && !tempPath_.empty()) std::remove(tempPath_.c_str());
  ReleaseTemporary(signalSlot_);
}

void AtomicFile::Fail(const char* what) {
  const std::string reason = std::strerror(errno);
  if (directFd_ >= 0) close(directFd_);
  directFd_ = -1;
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::remove(tempPath_.c_str());
  tempPath_.clear();
  ReleaseTemporary(signalSlot_);
  throw InputError(std::string("cannot ") + what + " '" + path_ + "': " + reason);
}

void AtomicFile::Write(const void* data, std::size_t size) {
  if (!file_) Fail("write");
  if (size && std::fwrite(data, 1, size, file_) != size) Fail("write");
}

void AtomicFile::Flush() {
  if (!file_ || std::fflush(file_) != 0) Fail("write");
}

void AtomicFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  const int fd = Descriptor();
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = fd < 0 ? -1 : pwrite(fd, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw InputError("cannot write '" + path_ + "': " + std::strerror(n < 0 ? errno : ENOSPC));
    p += n;
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::size_t>(n);
  }
}

int AtomicFile::Descriptor() const { return file_ ? fileno(file_) : -1; }

int AtomicFile::DirectDescriptor() {
  if (directFd_ < 0 && file_) directFd_ = open(tempPath_.c_str(), O_WRONLY | O_DIRECT | O_CLOEXEC);
  return directFd_;
}

void AtomicFile::Commit() {
  if (!file_) Fail("write");
  if (directFd_ >= 0) close(directFd_);
  directFd_ = -1;
  if (std::fflush(file_) != 0) Fail("write");
  if (std::fclose(file_) != 0) {
    file_ = nullptr;
    Fail("write");
  }
  file_ = nullptr;
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) Fail("rename the output to");
  committed_ = true;
  ReleaseTemporary(signalSlot_);
}
