// The files of the page `gramora serve` hands to the browser, read once at start from
// share/gramora/web beside the program's folder (installed or in the build tree): a request names
// one of them, never a file on disk.
#pragma once
#include <map>
#include <string>

// The page's folder: share/gramora/web beside the folder gramora runs from.
std::string WebDir();

struct WebAsset {
  std::string body;
  std::string type;  // MIME type
};

class WebAssets {
 public:
  // Reads every file below `folder`; throws InputError when the page or three.js is missing.
  explicit WebAssets(const std::string& folder);
  // The file at a request path below /web/ (or "/" for the page), or null.
  const WebAsset* Find(const std::string& urlPath) const;

 private:
  std::map<std::string, WebAsset> files_;  // by path relative to the folder
};
