// The entry points every plug-in exports with C linkage, and their types as the loader sees them.
#pragma once
#include "sdk/classdesc.h"
#include "sdk/platform.h"
#include "sdk/resource.h"

// Marks a plug-in function as exported from a library built with hidden visibility.
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

using LibDescriptionFn = const MCHAR* (*)();
using LibNumberClassesFn = int (*)();
using LibClassDescFn = ClassDesc* (*)(int);
using LibVersionFn = ULONG (*)();
using DllMainFn = BOOL (*)(HINSTANCE, ULONG, void*);
using LibResourcesFn = const ResourceTable* (*)();
