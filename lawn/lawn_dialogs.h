// The lawn's dialog templates, added to the plug-in's resources.
#pragma once
#include "sdk/resource.h"

// Adds dialogs 103 ("Bundles parameters"), 104 ("Global parameters") and 105 ("Blade parameters").
void AddLawnDialogs(ResourceTable& table);
