// No number an output cannot hold: every node's geometry must stay finite in single precision once
// its transform takes it to world space, or the writers would put `inf` and `nan` in files.
#pragma once
#include "app/export_scene.h"

// Throws InputError naming the node when its transform has a non-finite entry, its mesh a vertex or
// texture vertex that is not finite, or the transform can carry the mesh's bounding box beyond
// single precision. Checked once per evaluated node, before any writer or the renderer runs.
void CheckFiniteGeometry(const ExportNode& node);
