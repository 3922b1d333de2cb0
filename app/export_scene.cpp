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

void WriteSceneFile(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress,
                    const ExportOptions& options) {
  const std::string ext = Extension(file.path());
  if (!IsExportPath(file.path()))
    throw InputError("cannot write '" + file.path() + "': the output must end in .obj, .ply or .glb");
  if (ext == "obj") WriteObj(scene, file, progress, options);
  else if (ext == "ply") WritePly(scene, file, progress, options);
  else WriteGlb(scene, file, progress, options);
}

void ExportSceneFile(const ExportScene& scene, const std::string& path, const ProgressFn& progress,
                     const ExportOptions& options) {
  if (!IsExportPath(path)) throw InputError("cannot write '" + path + "': the output must end in .obj, .ply or .glb");
  AtomicFile file(path);
  WriteSceneFile(scene, file, progress, options);
  file.Commit();
}
