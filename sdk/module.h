// The host's record of a loaded module (what an HINSTANCE points at) and the plug-in loader.
#pragma once
#include <string>
#include <vector>

#include "sdk/classdesc.h"
#include "sdk/platform.h"
#include "sdk/resource.h"

// The SDK version a plug-in must report from LibVersion.
// Release 9000 in the upper 16 bits, API number 0x15 and SDK revision 0 in the two lower bytes.
constexpr ULONG POLYVALE_SDK_VERSION = 0x23281500;

// A loaded module.
struct HINSTANCE__ {
  std::string path;
  void* dl = nullptr;  // dlopen handle; null for modules made by hand
  const ResourceTable* resources = nullptr;
};

// A module record for a library opened elsewhere (tests, the host's own resources); freed with
// FreeModuleRecord.
HINSTANCE MakeModuleRecord(const std::string& path, void* dl, const ResourceTable* resources);
void FreeModuleRecord(HINSTANCE module);

// A loaded plug-in: its module, its description and the classes it registered.
struct LoadedPlugin {
  HINSTANCE module = nullptr;
  std::string description;
  std::vector<ClassDesc*> classes;
};

// Loads plug-ins with dlopen and registers their classes in the class directory.
class PluginLoader {
 public:
  PluginLoader() = default;
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;
  // Unloads everything still loaded.
  ~PluginLoader();

  // Opens path, calls DllMain(module, DLL_PROCESS_ATTACH, nullptr), checks that every export is
  // there and that LibVersion() is the SDK version, and registers LibClassDesc(0..n-1). On
  // failure returns null and sets error to a one-line message naming the file.
  HINSTANCE Load(const std::string& path, std::string& error);
  // Loads every "*.dlo" of a folder (sorted by name); returns how many loaded, one message per
  // refused file in errors.
  int LoadFolder(const std::string& dir, std::vector<std::string>& errors);
  // Removes the module's classes, calls DllMain(DLL_PROCESS_DETACH) and closes it. The caller
  // first deletes every object of the module's classes.
  void Unload(HINSTANCE module);
  void UnloadAll();

  const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }

 private:
  std::vector<LoadedPlugin> plugins_;
};
