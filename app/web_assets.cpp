#include "app/web_assets.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/errors.h"
#include "app/export_scene.h"
#include "app/host_session.h"

namespace fs = std::filesystem;

namespace {

// Far above what the page and three.js need; a folder beyond it is not the page's.
constexpr std::uintmax_t kMaxBytes = std::uintmax_t(64) << 20;

std::string TypeOf(const std::string& path) {
  const std::string ext = Extension(path);
  if (ext == "html") return "text/html; charset=utf-8";
  if (ext == "js") return "text/javascript; charset=utf-8";
  if (ext == "css") return "text/css; charset=utf-8";
  if (ext == "png") return "image/png";
  if (ext == "svg") return "image/svg+xml";
  return "application/octet-stream";
}

}  // namespace

std::string WebDir() { return (fs::path(ExecutableDir()).parent_path() / "share" / "gramora" / "web").string(); }

WebAssets::WebAssets(const std::string& folder) {
  const std::string hint = " (the build copies it there; three.js comes from `make deps-serve`)";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw InputError("cannot serve the page: '" + folder + "' is missing" + hint);
  std::uintmax_t total = 0;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    total += it->file_size(ec);
    if (total > kMaxBytes) throw InputError("cannot serve the page: '" + folder + "' holds more than 64 MiB");
    std::ifstream in(it->path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string rel = fs::relative(it->path(), folder, ec).generic_string();
    files_[rel] = WebAsset{bytes.str(), TypeOf(rel)};
  }
  if (ec) throw InputError("cannot read the page's files in '" + folder + "': " + ec.message());
  for (const char* needed : {"index.html", "three/three.module.js", "three/addons/controls/OrbitControls.js",
                             "three/addons/loaders/GLTFLoader.js"})
    if (!files_.count(needed))
      throw InputError("cannot serve the page: '" + folder + "/" + needed + "' is missing" + hint);
}

const WebAsset* WebAssets::Find(const std::string& urlPath) const {
  std::string rel;
  if (urlPath == "/" || urlPath == "/index.html") {
    rel = "index.html";
  } else if (urlPath.rfind("/web/", 0) == 0) {
    rel = urlPath.substr(5);
  } else {
    return nullptr;
  }
  const auto it = files_.find(rel);
  return it == files_.end() ? nullptr : &it->second;
}
