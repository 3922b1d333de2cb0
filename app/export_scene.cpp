#include "app/export_scene.h"

#include <algorithm>
#include <cctype>

#include "app/errors.h"
#include "app/export_glb.h"
#include "app/export_obj.h"
#include "app/export_ply.h"

std::string Extension(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

bool IsExportPath(const std::string& path) {
  const std::string ext = Extension(path);
  return ext == "obj" || ext == "ply" || ext == "glb";
}

void ExportSceneFile(const ExportScene& scene, const std::string& path, const ProgressFn& progress) {
  const std::string ext = Extension(path);
  if (!IsExportPath(path))
    throw InputError("cannot write '" + path + "': the output must end in .obj, .ply or .glb");
  AtomicFile file(path);
  if (ext == "obj")
    WriteObj(scene, file, progress);
  else if (ext == "ply")
    WritePly(scene, file, progress);
  else
    WriteGlb(scene, file, progress);
  file.Commit();
}
