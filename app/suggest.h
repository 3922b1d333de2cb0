// Nearest-name suggestions for misspelt class and parameter names.
#pragma once
#include <string>
#include <vector>

// The candidates closest to `name` by edit distance (ignoring case), at most `count`, best first;
// only candidates within a distance a typo could explain.
std::vector<std::string> NearestNames(const std::string& name, const std::vector<std::string>& candidates,
                                      std::size_t count = 3);

// "a", "a or b", "a, b or c", each quoted.
std::string QuotedList(const std::vector<std::string>& names, const char* lastJoin = " or ");
