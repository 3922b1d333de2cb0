#include "app/serve_paths.h"

#include <algorithm>
#include <filesystem>

#include "app/errors.h"
#include "app/export_scene.h"
#include "sdk/file_access.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// The path with every link that exists followed and "." and ".." removed.
std::string Canonical(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::absolute(path), ec);
  return ec ? fs::absolute(path).lexically_normal().string() : p.string();
}

}  // namespace

PathScope::PathScope(const std::string& folder, const std::vector<std::string>& named)
    : folder_(fs::absolute(folder.empty() ? "." : folder).lexically_normal().string()) {
  if (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  for (const std::string& n : named)
    if (!n.empty()) named_.push_back(Canonical(n));
}

bool PathScope::Allows(const std::string& absolute) const {
  // The host's one containment test; --allow-outside-paths does not reach requests.
  if (PathLiesWithin(absolute, folder_)) return true;
  const std::string c = Canonical(absolute);
  for (const std::string& n : named_)
    if (c == n) return true;
  return false;
}

std::string PathScope::Resolve(const std::string& path, const std::string& what) const {
  // A NUL would cut the path short where the system reads it, after it was checked whole.
  if (path.empty() || path.find('\0') != std::string::npos)
    throw InputError(what + ": \"" + path + "\" is not a usable file path");
  fs::path p(path);
  if (p.is_relative()) p = fs::path(folder_) / p;
  const std::string absolute = p.lexically_normal().string();
  if (!Allows(absolute))
    throw InputError(what + ": '" + path + "' lies outside the scene's folder '" + folder_ +
                     "' (only files there, or named on the command line, can be used)");
  return absolute;
}

json PathScope::ListFiles(const std::string& pattern) const {
  constexpr std::size_t kMaxFiles = 2000;
  constexpr int kMaxDepth = 4;
  std::string ext;  // "" matches every name
  if (pattern.rfind("*.", 0) == 0 && pattern.size() > 2 && pattern.find_first_of("*?/", 2) == std::string::npos) {
    if (pattern != "*.*") ext = Extension(pattern);
  } else if (pattern != "*") {
    throw InputError("\"pattern\" must be \"*\", \"*.*\" or \"*.ext\", not \"" + pattern + "\"");
  }
  json out = json::array();
  std::error_code ec;
  auto it = fs::recursive_directory_iterator(folder_, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator() && out.size() < kMaxFiles; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.' || it.depth() >= kMaxDepth) {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file(ec) || (!ext.empty() && Extension(name) != ext)) continue;
    if (!Allows(it->path().string())) continue;
    out.push_back(fs::relative(it->path(), folder_, ec).generic_string());
  }
  std::vector<std::string> sorted = out.get<std::vector<std::string>>();
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}
