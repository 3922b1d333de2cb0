// A plug-in built against another SDK version: every export is there, LibVersion differs.
#include "sdk/plugapi.h"

PLUGIN_EXPORT BOOL DllMain(HINSTANCE, ULONG, void*) { return TRUE; }
PLUGIN_EXPORT const MCHAR* LibDescription() { return "Old plug-in"; }
PLUGIN_EXPORT int LibNumberClasses() { return 0; }
PLUGIN_EXPORT ClassDesc* LibClassDesc(int) { return nullptr; }
PLUGIN_EXPORT ULONG LibVersion() { return 0x1F401500; }
