// The library entry point, the exports the host calls first, and the library-wide state.
#include "plugin/plugin.h"
#include "plugin/resource_ids.h"
#include "sdk/crt.h"
#include "sdk/module.h"
#include "sdk/plugapi.h"
#include "sdk/ui.h"

namespace {
HINSTANCE g_module = nullptr;
bool g_controls_initialised = false;
char g_string_buffer[256];
}  // namespace

HINSTANCE PluginModule() { return g_module; }

const MCHAR* GetResourceString(int id) {
  if (!g_module) return nullptr;
  int copied = LoadStringA(g_module, static_cast<UINT>(id), g_string_buffer,
                           static_cast<int>(sizeof g_string_buffer));
  return copied > 0 ? g_string_buffer : nullptr;
}

ResourceTable& PluginResources() {
  static ResourceTable table;
  return table;
}

// Runs on every call, whatever the reason: each one reseeds the random sequence, so every thread
// attach restarts it at 15322; the controls are initialised only once.
PLUGIN_EXPORT BOOL DllMain(HINSTANCE module, ULONG /*reason*/, void* /*reserved*/) {
  g_module = module;
  crt::srand(15322);
  if (!g_controls_initialised) {
    g_controls_initialised = true;
    InitCustomControls(g_module);
    InitCommonControls();
  }
  return TRUE;
}

PLUGIN_EXPORT const MCHAR* LibDescription() { return GetResourceString(IDS_LIBDESCRIPTION); }

PLUGIN_EXPORT int LibNumberClasses() { return 4; }

PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) {
  // Compared unsigned, so negative indices fall outside too.
  switch (static_cast<unsigned>(i)) {
    case 0: return GetGrassBladeDesc();
    case 1: return GetGrassBundleDesc();
    case 2: return GetLawnDesc();
    case 3: return GetLawnMowerDesc();
    default: return nullptr;
  }
}

PLUGIN_EXPORT ULONG LibVersion() { return POLYVALE_SDK_VERSION; }

PLUGIN_EXPORT const ResourceTable* LibResources() { return &PluginResources(); }
