#include "app/examples.h"

#include <algorithm>
#include <filesystem>

#include "app/errors.h"
#include "app/host_session.h"
#include "app/suggest.h"

namespace fs = std::filesystem;

std::string ExamplesDir() {
  return (fs::path(ExecutableDir()).parent_path() / "share" / "gramora" / "examples").string();
}

std::vector<std::string> ExampleNames() {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(ExamplesDir(), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".json" && it->is_regular_file(ec)) names.push_back(it->path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ExamplePath(const std::string& name) {
  const std::vector<std::string> names = ExampleNames();
  if (std::find(names.begin(), names.end(), name) != names.end())
    return (fs::path(ExamplesDir()) / (name + ".json")).string();
  if (names.empty()) throw InputError("no examples in '" + ExamplesDir() + "'");
  std::string message = "unknown example '" + name + "'";
  const std::vector<std::string> near = NearestNames(name, names, 1);
  if (!near.empty()) message += "; did you mean '" + near.front() + "'?";
  std::string all;
  for (const std::string& n : names) all += (all.empty() ? "" : ", ") + n;
  throw InputError(message + " (examples: " + all + ")");
}
