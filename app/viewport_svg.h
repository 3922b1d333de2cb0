// A top view of the host scene as an SVG drawing, so people can see where modifiers such as the
// mower cut before they render.
#pragma once
#include <string>

#include "app/atomic_file.h"
#include "sdk/time.h"

// Draws every node of the host scene at time t, seen from above, into an SVG file: each evaluated
// mesh's outline (its boundary edges, in the objects' grass green) and each modifier's gizmo
// through the modifier's own Display, all on the headless graphics window of a top viewport
// fitted to the scene. Writes into `file` without committing it, so the caller can commit it
// together with the files it belongs with; throws InputError when it cannot be written.
void WriteViewportSvg(AtomicFile& file, TimeValue t);
