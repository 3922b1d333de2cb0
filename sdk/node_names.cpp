#include "sdk/node_names.h"

#include <cctype>
#include <cstdio>

namespace {
// "Box007" -> "Box", 7; a name without trailing digits has no number (-1).
long long TrailingNumber(const std::string& name, std::string* stem) {
  std::size_t p = name.size();
  while (p > 0 && std::isdigit(static_cast<unsigned char>(name[p - 1]))) --p;
  *stem = name.substr(0, p);
  if (p == name.size() || name.size() - p > 15) return -1;  // none, or beyond any number we make
  return std::stoll(name.substr(p));
}

std::string Numbered(const std::string& stem, long long n) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "%03lld", n);
  return stem + suffix;
}
}  // namespace

void NodeNameIndex::Add(const std::string& name) { ++count_[name]; }

void NodeNameIndex::Remove(const std::string& name) {
  auto it = count_.find(name);
  if (it == count_.end()) return;
  if (--it->second > 0) return;
  count_.erase(it);
  std::string stem;
  const long long n = TrailingNumber(name, &stem);
  auto floor = floor_.find(stem);
  if (n >= 1 && floor != floor_.end() && n < floor->second) floor->second = n;
}

std::string NodeNameIndex::FirstFree(const std::string& stem) {
  long long& n = floor_.try_emplace(stem, 1).first->second;
  while (Taken(Numbered(stem, n))) ++n;
  return Numbered(stem, n);
}

NodeNameIndex& NodeNames() {
  // Never destroyed: nodes may outlive static destruction at exit.
  static NodeNameIndex* index = new NodeNameIndex();
  return *index;
}
