#include "lawn/bundle_lawn.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "lawn/lawn_maps.h"
#include "lawn/lawn_writer.h"
#include "sdk/crt.h"
#include "sdk/log.h"

namespace {
// The tilt range of a tuft's blades: 27 degrees from the slope's tilt, as the lawn has always
// written it (a double constant, the sum rounded to single precision).
constexpr double kTuftTiltRange = 0.47123894;

// One rand() scaled to [0, 1]: the quotient is taken in double and stored as a float.
float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }

// A tuft's 200 values, drawn before any blade is built, whatever the blade count; only the first
// `used` are kept (the lawn's tufts read seven per blade), the others are drawn and dropped.
void DrawTuft(float (&q)[kTuftDraws], int used = kTuftDraws) {
  for (int k = 0; k < kTuftDraws; ++k) {
    const int r = crt::rand();
    if (k < used) q[k] = static_cast<float>(r / 32767.0);
  }
}

// A blade count as a tuft can hold it: 0 for anything that is not a count, at most 28.
unsigned TuftBlades(float count) {
  if (!(count >= 1.0f)) return 0;
  return count >= static_cast<float>(kMaxTuftBlades) ? kMaxTuftBlades : static_cast<unsigned>(count);
}
}  // namespace

Mesh AppendBundle(const TuftRanges& tuft, unsigned bladeCount) {
  float q[kTuftDraws];
  DrawTuft(q);
  return BuildTuftMesh(tuft, q, kTuftDraws, static_cast<int>(std::min<unsigned>(bladeCount, kMaxTuftBlades)));
}

Mesh BuildBundleLawnMesh(const BundleLawnSettings& s) {
  crt::srand(601);
  Mesh result;

  // A saved value beyond what 200 draws can shape is read as 28, and said once per build.
  const unsigned templateBlades = TuftBlades(s.blades);
  if (s.blades >= static_cast<float>(kMaxTuftBlades + 1)) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Lawn: \"Bundle #blades\" %g is more than the %d blades a tuft can hold; tufts get %d",
                  static_cast<double>(s.blades), kMaxTuftBlades, kMaxTuftBlades);
    LogEntry(LogLevel::kWarning, text);
  }

  // The template tuft takes the first 200 draws; its counts (its blades, each of a lawn blade's
  // counts) size every cell.
  float q[kTuftDraws];
  DrawTuft(q);
  LawnMeshWriter writer("tufts");
  const unsigned templateCount = std::min<unsigned>(templateBlades, kMaxTuftBlades);
  const float tuftVerts = static_cast<float>(templateCount * writer.BladeVerts());
  const float tuftFaces = static_cast<float>(templateCount * writer.BladeFaces());
  if (!writer.Size(tuftVerts * s.nx * s.ny, tuftFaces * s.nx * s.ny, static_cast<double>(s.nx) * s.ny, result))
    return result;

  // Every kept tuft: L less up to lv, gravity g to g + g * gv, tilted from the slope up by 27 degrees.
  TuftRanges tuft;
  tuft.weldFactorMin = 0.05f;
  tuft.weldFactorMax = 0.1f;
  tuft.weldingsMin = tuft.weldingsMax = kLawnBladeWeldings;
  tuft.maxLength = s.maxLength;
  tuft.size = s.bundleLength;
  tuft.sizeVariance = s.lengthVar;
  tuft.gravityMin = s.gravity;
  tuft.gravityMax = s.gravity + s.gravity * s.gravityVar;

  const LawnGrid grid(s);

  // The draws stay sequential and in this exact order, so a lawn depends only on its parameters.
  // Only a kept tuft draws its 200 values, so a dropped tuft shifts the values of all after it.
  const std::size_t capacity = writer.Capacity();
  std::vector<LawnBlade> blades;
  if (!ReserveElements(blades,
                       std::min(capacity, static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows) *
                                              std::max<std::size_t>(templateBlades, 1)))) {
    result.FreeAll();
    LogEntry(LogLevel::kError, "Lawn: cannot allocate the blade list; the lawn is left empty");
    return result;
  }
  // Columns outer, rows inner; positions accumulate one step at a time.
  float x = grid.firstX;
  for (int column = 0; column < grid.columns; ++column, x += grid.stepX) {
    float y = grid.firstY;
    for (int row = 0; row < grid.rows; ++row, y += grid.stepY) {
      const float offsetX = static_cast<float>(UnitRandom() * grid.jitterSpanX - grid.jitterSpanX * 0.5);
      const float offsetY = static_cast<float>(UnitRandom() * grid.jitterSpanY - grid.jitterSpanY * 0.5);
      const unsigned count = std::max(TuftBlades(s.blades - UnitRandom() * s.blades * s.bladesVar), 1u);
      Point3 root(x + offsetX, y + offsetY, 0.0f);
      float tilt = 0.0f;
      if (s.heightMap) {
        root.z = MapHeight(s.heightMap, column, row, s.nx, s.ny, s.magnitude);
        tilt = MapSlopeTilt(s.heightMap, column, row, s.nx, s.ny);
      }
      if (!KeepByProbability(s.probabilityMap, column, row, s.nx, s.ny)) continue;
      DrawTuft(q, 7 * static_cast<int>(count));
      if (blades.size() + count > capacity) continue;  // only a count beyond the sizing could get here
      tuft.rotationXMin = tilt;
      tuft.rotationXMax = static_cast<float>(tilt + kTuftTiltRange);
      for (unsigned k = 0; k < count; ++k) blades.push_back({TuftBladeParams(tuft, q + 7 * k), root, column, row});
    }
  }
  writer.Write(blades, s.Bend(), s.threads, result);
  return result;
}
