// The lawn of single blades: a reproducible grid of varied blades in one mesh.
#pragma once
#include "lawn/lawn_grid.h"
#include "sdk/mesh.h"

// Everything one build of a blade lawn reads, already taken from the lawn's parameters: switches
// applied (angles 0 when off, maxLength chosen).
struct BladeLawnSettings : LawnGridSettings {
  float angleX = 5.0f, angleZ = 360.0f;  // rotation variance, degrees
  float bladeLength = 1.0f, lengthVar = 0.5f;
  float maxLength = 1.0f;  // every blade's maxLength
  float gravity = 0.2f, gravityVar = 0.5f;
  float thinMin = 1.25f, thinMax = 1.35f;
};

// Builds the lawn: srand(322), seven draws per cell plus the keep draw, in column-major grid order,
// always sequentially; then the kept blades are written into the mesh sized once for
// trunc(61 * nx * ny) vertices (LawnMeshWriter): the same mesh with one thread or two. A lawn too
// large to hold gives an empty mesh and an error in the host's log (LawnMeshWriter::Size).
Mesh BuildBladeLawnMesh(const BladeLawnSettings& s);
