// Height and probability maps: a lawn's texture turned into a filtered bitmap once per build, and
// the per-element lookups the builders make in it.
#pragma once
#include <memory>

#include "sdk/bitmap.h"
#include "sdk/texmap.h"
#include "sdk/time.h"

// The bitmap of one map for one build: the texture's own bitmap, or one rendered for it (owned and
// freed with this object). `bitmap` is null when the map cannot be used.
struct MapBitmap {
  Bitmap* bitmap = nullptr;
  int width = 0;
  int height = 0;
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> owned{nullptr, [](Bitmap* b) { b->DeleteThis(); }};
};

// The bitmap of texture at t with filtering on: a bitmap texture's own image (0 x 0 when it has no
// storage), anything else rendered into a new 64 x 64 bitmap. Null bitmap when none can be had.
MapBitmap AcquireMapBitmap(Texmap* texture, TimeValue t);

// Luminance 0.3 r + 0.59 g + 0.11 b of the filtered colour over the du x dv box at (u, v). The
// weights are the single-precision constants used in double arithmetic, so white gives 0.99999998;
// the result stays double so that a white probability map keeps threshold 32766.
double MapLuminance(const Bitmap* bitmap, float u, float v, float du, float dv);

// The absolute height of grid element (ix, iy) of an nx x ny grid: luminance times magnitude.
float MapHeight(const Bitmap* bitmap, int ix, int iy, float nx, float ny, float magnitude);

// The tilt about X (radians) from the luminance difference between the rows below and above the
// element: (above - below) * 0.4 * pi, independent of the magnitude. Samples below, then above.
float MapSlopeTilt(const Bitmap* bitmap, int ix, int iy, float nx, float ny);

// Draws one rand() (always, map or not) and keeps the element when it is below the threshold:
// 65535 without a map, otherwise trunc(luminance * 32767) at the element.
bool KeepByProbability(const Bitmap* bitmap, int ix, int iy, float nx, float ny);
