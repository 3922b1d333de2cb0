#include "app/host_session.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/errors.h"
#include "sdk/host.h"

std::string ExecutableDir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

std::string ModuleDir() {
  const std::filesystem::path exe = ExecutableDir();
  const std::filesystem::path installed = exe.parent_path() / "lib" / "gramora";
  std::error_code ec;
  return std::filesystem::is_directory(installed, ec) ? installed.string() : exe.string();
}

HostSession::HostSession(const std::string& pluginDir) : dir_(pluginDir.empty() ? ModuleDir() : pluginDir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir_, ec))
    throw InputError("cannot load plug-ins from '" + dir_ + "': not a folder");
  std::vector<std::string> refused;
  loader_.LoadFolder(dir_, refused);
  for (const std::string& message : refused) std::fprintf(stderr, "gramora: warning: %s\n", message.c_str());
}

HostSession::~HostSession() {
  TheHost().ResetScene();
  loader_.UnloadAll();
}
