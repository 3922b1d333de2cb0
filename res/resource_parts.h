// The pieces PluginResources assembles, one resource file each.
#pragma once
#include "sdk/resource.h"

void AddStrings(ResourceTable& table);
void AddVersion(ResourceTable& table);
void AddGrassBladeDialog(ResourceTable& table);
void AddGrassBundleDialog(ResourceTable& table);
void AddLawnDialogs(ResourceTable& table);
void AddLawnMowerDialog(ResourceTable& table);
