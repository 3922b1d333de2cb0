// The shader reaching past the shader interface into the renderer's internals.
#include "render/shader_interface.h"
#include "render/world.h"
