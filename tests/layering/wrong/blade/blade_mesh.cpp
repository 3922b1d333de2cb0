// The blade generator reaching up into a class folder above it.
#include "blade/blade_mesh.h"
#include "sdk/mesh.h"
#include "lawn/lawn.h"
