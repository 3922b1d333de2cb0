// The lawn of tufts: a reproducible grid of tufts of blades in one mesh.
#pragma once
#include "blade/tuft_mesh.h"
#include "lawn/lawn_grid.h"
#include "sdk/mesh.h"

// Everything one build of a tuft lawn reads, already taken from the lawn's parameters (maxLength
// chosen by "Blade maxlength"). The thinness pair is read by the lawn but shapes no tuft.
struct BundleLawnSettings : LawnGridSettings {
  float bundleLength = 1.0f, lengthVar = 0.5f;  // the largest blade size, the most taken off it
  float maxLength = 1.0f;                       // every blade's maxLength
  float gravity = 0.2f, gravityVar = 0.5f;      // blade gravity from g to g + g * gv
  float blades = 3.0f, bladesVar = 0.0f;        // blades per tuft and their variation
};

// One tuft at the origin: draws 200 values of rand() / 32767 (always all 200, whatever the count),
// then builds `bladeCount` blades from them (at most 28, the blades 200 values can shape) and
// joins them in blade order.
Mesh AppendBundle(const TuftRanges& tuft, unsigned bladeCount);

// Builds the lawn: srand(601), the template tuft's 200 draws, then per cell three draws, the map
// samples, the keep draw and, for a kept tuft, its 200 draws, in column-major grid order and
// always sequentially; then the tufts' blades are written into the mesh sized once for
// trunc(Vt * nx * ny) vertices, Vt the template tuft's (LawnMeshWriter): the same mesh with one
// thread or more. A "Bundle #blades" above 28 is read as 28 and said once (a warning in the
// host's log); a lawn too large to hold gives an empty mesh and an error in the host's log.
Mesh BuildBundleLawnMesh(const BundleLawnSettings& s);
