// The plug-in's class registry as the entry point hands it to the host.
#pragma once
#include "sdk/classdesc.h"

// How many classes the library holds.
constexpr int kPluginClasses = 4;

// The descriptor of registry index 0 to kPluginClasses - 1 (blade, bundle, lawn, mower), or null.
ClassDesc2* PluginClassDesc(int index);
