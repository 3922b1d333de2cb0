#include "sdk/cgroup_memory.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

namespace {
constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

// A cgroup file system: where it is mounted, which group its mount shows at that place, and its version.
struct Hierarchy {
  std::string mountPoint, mountRoot;
  bool v2 = false;
};

// The cgroup mounts that can limit memory: every cgroup2 mount and the v1 mount with the memory controller.
std::vector<Hierarchy> MemoryHierarchies(const std::string& root) {
  std::vector<Hierarchy> out;
  std::ifstream in(root + "/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    // id parent major:minor root mount-point options [optional fields] - type source super-options
    std::istringstream fields(line);
    std::string id, parent, device, mountRoot, mountPoint, word;
    fields >> id >> parent >> device >> mountRoot >> mountPoint;
    while (fields >> word && word != "-") {
    }
    std::string type, source, options;
    fields >> type >> source >> options;
    const bool v1Memory = type == "cgroup" && ("," + options + ",").find(",memory,") != std::string::npos;
    if (type == "cgroup2" || v1Memory) out.push_back({mountPoint, mountRoot, type == "cgroup2"});
  }
  return out;
}

// The process's group in the hierarchy of that version ("" when it has none there).
std::string GroupPath(const std::string& root, bool v2) {
  std::ifstream in(root + "/proc/self/cgroup");
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t a = line.find(':'), b = line.find(':', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    const std::string controllers = line.substr(a + 1, b - a - 1);
    const bool match = v2 ? line.compare(0, a, "0") == 0 && controllers.empty()
                          : ("," + controllers + ",").find(",memory,") != std::string::npos;
    if (match) return line.substr(b + 1);
  }
  return "";
}

// A number from a one-line file; kUnlimited for "max" or a missing file.
std::size_t ReadValue(const std::string& path) {
  std::ifstream in(path);
  std::string text;
  if (!(in >> text) || text == "max") return kUnlimited;
  try {
    const unsigned long long v = std::stoull(text);
    return v >= kUnlimited ? kUnlimited : static_cast<std::size_t>(v);
  } catch (const std::exception&) {
    return kUnlimited;
  }
}

// The reclaimable file cache counted in a group's usage.
std::size_t InactiveFile(const std::string& dir, bool v2) {
  std::ifstream in(dir + "/memory.stat");
  std::string key;
  unsigned long long value = 0;
  const std::string wanted = v2 ? "inactive_file" : "total_inactive_file";
  while (in >> key >> value)
    if (key == wanted) return static_cast<std::size_t>(value);
  return 0;
}
}  // namespace

std::size_t CgroupMemoryLeft(const std::string& root) {
  std::size_t left = kUnlimited;
  for (const Hierarchy& h : MemoryHierarchies(root)) {
    std::string group = GroupPath(root, h.v2);
    if (group.empty()) continue;
    // The group path is seen from the hierarchy's root; the mount may show a group below it.
    if (h.mountRoot != "/" && group.compare(0, h.mountRoot.size(), h.mountRoot) == 0)
      group.erase(0, h.mountRoot.size());
    std::string dir = root + h.mountPoint + (group == "/" ? "" : group);
    const std::string top = root + h.mountPoint;
    // Every level counts: a group without a limit of its own may sit in one that has one.
    for (;;) {
      const std::size_t limit = ReadValue(dir + (h.v2 ? "/memory.max" : "/memory.limit_in_bytes"));
      // v1 writes "no limit" as a page-rounded LONG_MAX.
      if (limit < (std::size_t{1} << 62)) {
        const std::size_t usage = ReadValue(dir + (h.v2 ? "/memory.current" : "/memory.usage_in_bytes"));
        const std::size_t cache = InactiveFile(dir, h.v2);
        const std::size_t used = usage == kUnlimited ? 0 : usage - std::min(usage, cache);
        left = std::min(left, limit > used ? limit - used : 0);
      }
      if (dir.size() <= top.size()) break;
      dir.erase(dir.find_last_of('/'));
    }
  }
  return left;
}
