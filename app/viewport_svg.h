// A top view of the host scene as an SVG drawing, so people can see where modifiers such as the
// mower cut before they render.
#pragma once
#include <string>

#include "app/atomic_file.h"
#include "sdk/geom.h"
#include "sdk/time.h"

// A top view as an SVG drawing and the view it shows: pixel (px, py) is the world point
// (center.x + (px - width / 2) * unitsPerPixel, center.y - (py - height / 2) * unitsPerPixel, 0),
// with integer division, as in TopViewport.
struct TopViewDrawing {
  std::string svg;
  int width = 0, height = 0;
  float unitsPerPixel = 1.0f;
  Point3 center;
};

// Draws every node of the host scene at time t, seen from above: each evaluated mesh's outline
// (its boundary edges, in the objects' grass green) and each modifier's gizmo through the
// modifier's own Display, all on the headless graphics window of a top viewport fitted to the
// scene and covering at least minExtent world units along each side.
TopViewDrawing DrawTopView(TimeValue t, float minExtent = 0.0f);

// Writes DrawTopView(t) into `file` without committing it, so the caller can commit it together
// with the files it belongs with; throws InputError when it cannot be written.
void WriteViewportSvg(AtomicFile& file, TimeValue t);
