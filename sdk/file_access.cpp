#include "sdk/file_access.h"

#include <atomic>
#include <filesystem>

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
}  // namespace

bool PathLiesWithin(const std::string& path, const std::string& folder) {
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
