#include "sdk/file_access.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {
std::atomic<bool> outsideAllowed{false};
std::string advice;

// The real path with symbolic links followed (as far as the path exists) and "." and ".." gone,
// without a trailing separator; empty when it cannot be resolved.
fs::path Real(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) return {};
  p = p.lexically_normal();
  if (!p.has_filename() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
  return p;
}

// The quick answer for the common case, one name right inside the folder ("folder/name"): it lies
// within unless it is a link (or "." or ".."). Nothing known: the caller resolves both paths.
std::optional<bool> DirectlyInside(const std::string& path, const std::string& folder) {
  if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return std::nullopt;
  std::size_t start = folder.size();
  if (!folder.empty() && folder.back() != '/') {
    if (path[start] != '/') return std::nullopt;
    ++start;
  }
  const std::string name = path.substr(start);
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return std::nullopt;
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT ? std::optional<bool>(true) : std::nullopt;
  return S_ISLNK(st.st_mode) ? std::nullopt : std::optional<bool>(true);
}
}  // namespace

bool PathLiesWithin(const std::string& path, const std::string& folder) {
  // A field of millions of frames asks once per frame; most names sit right in the folder.
  if (const std::optional<bool> quick = DirectlyInside(path, folder)) return *quick;
  const fs::path real = Real(path), root = Real(folder);
  if (real.empty() || root.empty()) return false;
  auto r = root.begin(), p = real.begin();
  for (; r != root.end(); ++r, ++p)
    if (p == real.end() || *p != *r) return false;
  return true;
}

bool NamedPathAllowed(const std::string& path, const std::string& folder) {
  return outsideAllowed.load() || PathLiesWithin(path, folder);
}

void SetOutsidePathsAllowed(bool allowed, const std::string& howToAllow) {
  outsideAllowed.store(allowed);
  advice = howToAllow;
}

bool OutsidePathsAllowed() { return outsideAllowed.load(); }

std::string OutsidePathRefusal(const std::string& path, const std::string& folder) {
  return "'" + path + "' lies outside the folder '" + folder + "'" + (advice.empty() ? "" : " (" + advice + ")");
}
