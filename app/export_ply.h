// Binary PLY export.
#pragma once
#include "app/atomic_file.h"
#include "app/export_scene.h"

// Writes all object nodes as one binary little-endian PLY mesh: per vertex x y z nx ny nz u v w
// (corners welded as WeldCorners does), faces as lists of three vertex indices. The corners are
// counted first, then every run of faces is welded again and written in place by up to
// `options.threads` workers, so the file is the same for any count.
void WritePly(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress, const ExportOptions& options);
