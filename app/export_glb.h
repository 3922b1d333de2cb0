// glTF 2.0 binary (.glb) export.
#pragma once
#include "app/atomic_file.h"
#include "app/export_scene.h"

// Writes the scene as one glb: every node (group heads as parent nodes of their members), each
// node with faces holding one triangle mesh with POSITION (with min and max), NORMAL, TEXCOORD_0
// (u, v) and the cut mark w as `_CUT`. Geometry is in world space, turned from the host's Z-up
// to glTF's Y-up (x, y, z) -> (x, z, -y); nodes carry no transforms of their own. The corners are
// counted first (the JSON chunk needs the counts and bounds), then every run of faces is welded
// again and written in place by up to `options.threads` workers: the same bytes for any count.
void WriteGlb(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress, const ExportOptions& options);
