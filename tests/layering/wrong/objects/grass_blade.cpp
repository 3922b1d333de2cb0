// A class folder reaching into the plug-in's registry instead of res/.
#include "res/resource_ids.h"
#include "plugin/plugin.h"
