// The lawn of single blades: a reproducible grid of varied blades in one mesh.
#pragma once
#include <cstdint>

#include "lawn/vector_field.h"
#include "sdk/bitmap.h"
#include "sdk/mesh.h"

// Everything one build of a blade lawn reads, already taken from the lawn's parameters: switches
// applied (jitter and angles 0 when off, maxLength chosen), maps and field null when not in use.
struct BladeLawnSettings {
  float nx = 20.0f, ny = 20.0f;            // grid counts (fractions size the arrays, not the grid)
  float length = 1.0f, width = 1.0f;       // the rectangle, centred on the origin
  float jitterX = 0.5f, jitterY = 0.5f;    // position variance, fractions of a cell
  float angleX = 5.0f, angleZ = 360.0f;    // rotation variance, degrees
  float bladeLength = 1.0f, lengthVar = 0.5f;
  float maxLength = 1.0f;                  // every blade's maxLength
  float gravity = 0.2f, gravityVar = 0.5f;
  float thinMin = 1.25f, thinMax = 1.35f;
  const Bitmap* heightMap = nullptr;       // filtered, or null
  float magnitude = 1.0f;
  const Bitmap* probabilityMap = nullptr;  // filtered, or null
  const GPUVectorField2D* field = nullptr; // holding data, or null
  std::uint32_t slice = 0;
  int frame = 0;
  int threads = 0;                         // 1: one thread; 2 or more: the faces get a worker of
                                           // their own; 0: a worker for large lawns when the
                                           // machine has a second hardware thread
};

// Builds the lawn: srand(322), seven draws per cell plus the keep draw, in column-major grid order,
// always sequentially; then the kept blades' vertices are built straight into the mesh (sized once
// for trunc(61 * nx * ny) vertices, each element written once), while the faces, a shifted copy of
// the template blade's, are written by a second worker when `threads` allows: the same mesh either
// way. A lawn too large to allocate gives an empty mesh and a message on standard error.
Mesh BuildBladeLawnMesh(const BladeLawnSettings& s);
