#include "app/path_policy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/errors.h"
#include "app/host_session.h"
#include "sdk/file_access.h"

namespace fs = std::filesystem;

namespace {
PathPolicy policy;

std::string ShaderDir() { return policy.shaderDir.empty() ? ModuleDir() : policy.shaderDir; }
}  // namespace

void SetPathPolicy(const PathPolicy& p) {
  policy = p;
  SetOutsidePathsAllowed(p.allowOutsidePaths, "--allow-outside-paths reads it");
}

const PathPolicy& GetPathPolicy() { return policy; }

std::string ResolveScenePath(const std::string& name, const std::string& baseDir) {
  fs::path p(name);
  if (p.is_relative() && !baseDir.empty()) p = fs::path(baseDir) / p;
  return fs::absolute(p).lexically_normal().string();
}

std::string SceneFile(const std::string& name, const std::string& baseDir, const std::string& what,
                      const std::string& where) {
  const std::string path = ResolveScenePath(name, baseDir);
  const std::string folder = fs::path(ResolveScenePath("f", baseDir)).parent_path().string();
  if (!NamedPathAllowed(path, folder))
    throw InputError(where + ": the " + what + " " + OutsidePathRefusal(path, folder));
  // Only a regular file: a device never ends and a pipe may never deliver.
  std::error_code ec;
  if (fs::exists(path, ec) && !fs::is_regular_file(path, ec))
    throw InputError(where + ": cannot read the " + what + " '" + path + "': not a regular file");
  return path;
}

void CheckReadableFile(const std::string& path, const std::string& what, const std::string& where) {
  std::error_code ec;
  if (fs::exists(path, ec) && !fs::is_regular_file(path, ec))
    throw InputError(where + ": cannot read the " + what + " '" + path + "': not a regular file");
  // The system's reason, as a missing bitmap gives it: no such file, permission denied, ...
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr)
    throw InputError(where + ": cannot read the " + what + " '" + path + "': " + std::strerror(errno));
  std::fclose(file);
}

bool IsLibraryName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

void CheckShaderName(const std::string& name, const std::string& where) {
  if (!IsLibraryName(name))
    throw InputError(where +
                     ": \"shader\" names a shader library (\"verdigo\" or \"verdigo.so\"), found beside "
                     "gramora or in --shaders DIR; a scene cannot give it by path, not '" +
                     name + "'");
}

std::string FindShaderLibrary(const std::string& name, const std::string& where) {
  const std::string wanted = name.empty() ? "verdigo" : name;
  CheckShaderName(wanted, where);
  const std::string file = fs::path(wanted).extension() == ".so" ? wanted : wanted + ".so";
  const std::string path = (fs::path(ShaderDir()) / file).string();
  std::error_code ec;
  if (!fs::is_regular_file(path, ec))
    throw InputError(where + ": no shader library '" + file + "' in " + ShaderDir() +
                     (policy.shaderDir.empty() ? " (gramora's own shader folder; --shaders DIR looks elsewhere)" : ""));
  return path;
}
