// The library entry point and the exports the host calls first.
#include "plugin/plugin.h"
#include "res/plugin_resources.h"
#include "res/resource_ids.h"
#include "sdk/crt.h"
#include "sdk/module.h"
#include "sdk/plugapi.h"
#include "sdk/ui.h"

namespace {
bool g_controls_initialised = false;
}  // namespace

// Runs on every call, whatever the reason: each one reseeds the random sequence, so every thread
// attach restarts it at 15322; the controls are initialised only once.
PLUGIN_EXPORT BOOL DllMain(HINSTANCE module, ULONG /*reason*/, void* /*reserved*/) {
  SetPluginModule(module);
  crt::srand(15322);
  if (!g_controls_initialised) {
    g_controls_initialised = true;
    InitCustomControls(module);
    InitCommonControls();
  }
  return TRUE;
}

PLUGIN_EXPORT const MCHAR* LibDescription() { return GetResourceString(IDS_LIBDESCRIPTION); }

PLUGIN_EXPORT int LibNumberClasses() { return kPluginClasses; }

PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) { return PluginClassDesc(i); }

PLUGIN_EXPORT ULONG LibVersion() { return POLYVALE_SDK_VERSION; }

PLUGIN_EXPORT const ResourceTable* LibResources() { return &PluginResources(); }
