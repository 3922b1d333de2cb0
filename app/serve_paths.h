// What `gramora serve` lets a request name on disk: the scene's folder and what lies below it, and
// the files the user named on the command line. (A scene file a request sends is held to the
// scene's folder by the path policy every scene goes through, app/path_policy.h.)
#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

class PathScope {
 public:
  // folder: the scene's folder; named: files given on the command line (made absolute here).
  PathScope(const std::string& folder, const std::vector<std::string>& named);

  // The scene's folder as an absolute, normal path.
  const std::string& Folder() const { return folder_; }
  // True when the absolute path lies in the folder (links followed) or is one of the named files.
  bool Allows(const std::string& absolute) const;
  // The absolute path that `path` (relative to the folder, or absolute) names; throws InputError,
  // naming `what` and the path, when it lies outside the scope or is not a usable path.
  std::string Resolve(const std::string& path, const std::string& what) const;

  // The files in the folder and below whose names match `pattern` ("*.ext", "*.*" or "*"), as
  // paths relative to the folder, for a file picker that offers nothing else; hidden files and
  // folders are left out, and so is anything a link takes outside.
  nlohmann::json ListFiles(const std::string& pattern) const;

 private:
  std::string folder_;
  std::vector<std::string> named_;
};
