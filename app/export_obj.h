// Wavefront OBJ export.
#pragma once
#include "app/atomic_file.h"
#include "app/export_scene.h"

// Writes every object node as `o NAME`, all its vertices (`v x y z`, world space), all its texture
// vertices (`vt u v w`) and its faces (`f a/ta b/tb c/tc`, 1-based over the whole file). Group heads
// are not written. A face without a usable texture face is written `f a b c`; a face naming a
// vertex that does not exist is left out. Pieces of the text are formatted on up to
// `options.threads` workers and written in order, so the file is the same for any count.
void WriteObj(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress, const ExportOptions& options);
