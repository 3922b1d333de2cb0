// The grass shading of verdigo: colour gradient along the blade, lights with a highlight,
// a random wet look and an exposure term found with probe rays.
#pragma once
#include "render/shader_interface.h"

namespace gramora::verdigo {

// Shades one sample into result (alpha 1); a null state or record gives black.
void ShadeGrass(miColor* result, miState* state, VerdigoParams* params);

}  // namespace gramora::verdigo
