// Library-wide state of the grass plug-in that every class uses: the module handle, the string
// loader with its one shared buffer, the resource table, and the four class descriptors.
#pragma once
#include "sdk/classdesc.h"
#include "sdk/platform.h"
#include "sdk/resource.h"

// The module handle the entry point was given; null before the first call.
HINSTANCE PluginModule();

// The text of string id of the library's string table, or null (unknown id, or no module handle
// yet). Points into one shared 256-character buffer that the next call overwrites: copy it at once.
const MCHAR* GetResourceString(int id);

// The library's resources; resource files add to it with a static ResourceContribution.
ResourceTable& PluginResources();

// The descriptors of the registry, by registry index 0 to 3.
ClassDesc2* GetGrassBladeDesc();
ClassDesc2* GetGrassBundleDesc();
ClassDesc2* GetLawnDesc();
ClassDesc2* GetLawnMowerDesc();
