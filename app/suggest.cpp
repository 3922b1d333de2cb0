#include "app/suggest.h"

#include <algorithm>
#include <cctype>

namespace {

std::size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diag = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      const bool same =
          std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (same ? 0 : 1)});
      diag = up;
    }
  }
  return row[b.size()];
}

}  // namespace

std::vector<std::string> NearestNames(const std::string& name, const std::vector<std::string>& candidates,
                                      std::size_t count) {
  std::vector<std::pair<std::size_t, std::string>> scored;
  // A typo changes a few letters; allow about a third of the name, at least 2.
  const std::size_t limit = std::max<std::size_t>(2, name.size() / 3);
  for (const std::string& c : candidates) {
    // The distance is at least the difference in length: a name far longer or shorter than every
    // candidate (a pasted paragraph) is not compared letter by letter.
    if (std::max(name.size(), c.size()) - std::min(name.size(), c.size()) > limit) continue;
    const std::size_t d = Distance(name, c);
    if (d <= limit && std::none_of(scored.begin(), scored.end(), [&](const auto& s) { return s.second == c; }))
      scored.emplace_back(d, c);
  }
  std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (std::size_t i = 0; i < scored.size() && i < count; ++i) out.push_back(scored[i].second);
  return out;
}

std::string QuotedList(const std::vector<std::string>& names, const char* lastJoin) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += (i + 1 == names.size()) ? lastJoin : ", ";
    out += "\"" + names[i] + "\"";
  }
  return out;
}
