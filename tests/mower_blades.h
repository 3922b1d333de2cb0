// Hand-built blades in the generator's layout, so mowing tests do not depend on the generator's bending.
#pragma once
#include "sdk/mesh.h"

// A straight, unbent blade of `weldings` + 2 columns rooted at `root`: row i at height 0.5 * i,
// column j at x = root.x + 0.25 * j, the tip at height 7.5; texture (j / (W + 1), i / 14, 0).
Mesh StraightBlade(int weldings, const Point3& root);

// Appends `blade` to `mesh` with shifted indices, as the tuft and lawn builders copy blades.
void AppendBlade(Mesh& mesh, const Mesh& blade);

// Vertex index of row i, column j of a blade with `weldings` interior columns.
inline int BladeVertex(int weldings, int row, int column) { return row * (weldings + 2) + column; }
