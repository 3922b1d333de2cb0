// The plug-in's resources as its classes reach them: the module handle the entry point was given,
// the string loader with its one shared buffer, and the resource table the library exports.
#pragma once
#include "sdk/platform.h"
#include "sdk/resource.h"

// The module handle the entry point was given; null before the first call.
HINSTANCE PluginModule();
// Kept by the entry point on every call.
void SetPluginModule(HINSTANCE module);

// The text of string id of the library's string table, or null (unknown id, or no module handle
// yet). Points into one shared 256-character buffer that the next call overwrites: copy it at once.
const MCHAR* GetResourceString(int id);

// The library's resources (string table, dialog templates, version record), built on first use.
// A test may hand it to a module record of its own to open the plug-in's panels without the plug-in.
ResourceTable& PluginResources();
