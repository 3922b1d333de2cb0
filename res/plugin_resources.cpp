#include "res/plugin_resources.h"

#include "res/resource_parts.h"
#include "sdk/ui.h"

namespace {
HINSTANCE g_module = nullptr;
char g_string_buffer[256];
}  // namespace

HINSTANCE PluginModule() { return g_module; }

void SetPluginModule(HINSTANCE module) { g_module = module; }

const MCHAR* GetResourceString(int id) {
  if (!g_module) return nullptr;
  int copied = LoadStringA(g_module, static_cast<UINT>(id), g_string_buffer, static_cast<int>(sizeof g_string_buffer));
  return copied > 0 ? g_string_buffer : nullptr;
}

ResourceTable& PluginResources() {
  static ResourceTable table = [] {
    ResourceTable t;
    AddStrings(t);
    AddGrassBladeDialog(t);
    AddGrassBundleDialog(t);
    AddLawnDialogs(t);
    AddLawnMowerDialog(t);
    AddVersion(t);
    return t;
  }();
  return table;
}
