// One run of the host: the plug-ins loaded, the scene that lives while a command works, and the
// orderly teardown (scene first, then the plug-ins whose code the scene's objects run).
#pragma once
#include <string>
#include <vector>

#include "sdk/module.h"

class HostSession {
 public:
  // Loads every *.dlo of `pluginDir` (ModuleDir() when empty). Modules the
  // loader refuses are reported on standard error and skipped; an unreadable folder is an
  // InputError.
  explicit HostSession(const std::string& pluginDir);
  // Deletes every node, then unloads the plug-ins.
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  const PluginLoader& Loader() const { return loader_; }
  const std::string& PluginDir() const { return dir_; }

 private:
  std::string dir_;
  PluginLoader loader_;
};

// The folder the running gramora binary lives in.
std::string ExecutableDir();

// The folder of gramora's plug-ins and shader libraries: lib/gramora beside the program's folder
// when gramora is installed (bin/gramora under a prefix), else the program's own folder (the
// build tree's bin/).
std::string ModuleDir();
