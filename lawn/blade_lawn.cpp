#include "lawn/blade_lawn.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "lawn/lawn_maps.h"
#include "lawn/lawn_writer.h"
#include "sdk/crt.h"
#include "sdk/log.h"

namespace {
constexpr float kPi = 3.1415927f;
// The blade lawn's seed: the same parameters give the same lawn.
constexpr unsigned kBladeLawnSeed = 322;
// What every blade of the lawn has besides its drawn values.
constexpr float kBladeStiffness = 0.0f;
constexpr float kBladeWeldFactor = 0.1f;

// One rand() scaled to [0, 1]: the quotient is taken in double and stored as a float.
float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }

// The ranges a cell's draws are scaled to.
struct BladeRanges {
  float jitterSpanX, jitterSpanY;  // the offset from the grid point lies within half a span
  float angleX, angleZ;            // radians
  float length, lengthVariance, shortestLength;
  float gravity, gravityVariance, weakestGravity;
  float thinMin, thinMax;
};

// What one cell draws, in the order it draws them.
struct BladeDraws {
  float offsetX, offsetY;
  float rotationX, rotationZ;
  float size;
  float gravity;
  float thinning;
};

// Seven draws, in this exact order. A constant with a decimal point is a double, so the offsets
// are computed in double and rounded to single precision.
BladeDraws DrawBlade(const BladeRanges& r) {
  BladeDraws d;
  d.offsetX = static_cast<float>(UnitRandom() * r.jitterSpanX - r.jitterSpanX * 0.5);
  d.offsetY = static_cast<float>(UnitRandom() * r.jitterSpanY - r.jitterSpanY * 0.5);
  d.rotationX = UnitRandom() * r.angleX;
  d.rotationZ = UnitRandom() * r.angleZ;
  d.size = UnitRandom() * r.lengthVariance * r.length + r.shortestLength;
  d.gravity = UnitRandom() * r.gravityVariance * r.gravity + r.weakestGravity;
  d.thinning = UnitRandom() * (r.thinMax - r.thinMin) + r.thinMin;
  return d;
}
}  // namespace

Mesh BuildBladeLawnMesh(const BladeLawnSettings& s) {
  crt::srand(kBladeLawnSeed);
  Mesh result;

  // Every lawn blade has the same counts. Size the mesh once for the full (possibly fractional)
  // grid.
  LawnMeshWriter writer("blades");
  const float cells = s.nx * s.ny;
  if (!writer.Size(static_cast<float>(writer.BladeVerts()) * cells, static_cast<float>(writer.BladeFaces()) * cells,
                   cells, result))
    return result;

  const LawnGrid grid(s);
  BladeRanges ranges;
  ranges.jitterSpanX = grid.jitterSpanX;
  ranges.jitterSpanY = grid.jitterSpanY;
  ranges.angleX = s.angleX * kPi / 180.0f;
  ranges.angleZ = s.angleZ * kPi / 180.0f;
  ranges.length = s.bladeLength;
  ranges.lengthVariance = s.lengthVar;
  ranges.shortestLength = static_cast<float>(s.bladeLength - s.bladeLength * s.lengthVar * 0.5);
  ranges.gravity = s.gravity;
  ranges.gravityVariance = s.gravityVar;
  ranges.weakestGravity = static_cast<float>(s.gravity - s.gravity * s.gravityVar * 0.5);
  ranges.thinMin = s.thinMin;
  ranges.thinMax = s.thinMax;

  // The draws stay sequential and in this exact order, so a lawn depends only on its parameters,
  // and a dropped blade still consumes its draws (the blades after it keep their shape).
  const std::size_t capacity = writer.Capacity();
  std::vector<LawnBlade> blades;
  if (!ReserveElements(
          blades, std::min(capacity, static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows)))) {
    result.FreeAll();
    LogEntry(LogLevel::kError, "Lawn: cannot allocate the blade list; the lawn is left empty");
    return result;
  }
  // Columns outer, rows inner; positions accumulate one step at a time.
  float x = grid.firstX;
  for (int column = 0; column < grid.columns; ++column, x += grid.stepX) {
    float y = grid.firstY;
    for (int row = 0; row < grid.rows; ++row, y += grid.stepY) {
      const BladeDraws draws = DrawBlade(ranges);

      // A vector field bends the blades itself, so they stand upright before it; a height map
      // lifts the root and tilts the blade with the slope.
      float rotationX = draws.rotationX, rotationZ = draws.rotationZ;
      if (s.field) rotationX = rotationZ = 0.0f;
      float gravity = draws.gravity;
      if (gravity < 0.0f) gravity = 0.0f;
      Point3 root(x + draws.offsetX, y + draws.offsetY, 0.0f);
      if (s.heightMap) {
        root.z = MapHeight(s.heightMap, column, row, s.nx, s.ny, s.magnitude);
        rotationX += MapSlopeTilt(s.heightMap, column, row, s.nx, s.ny);
      }
      if (!KeepByProbability(s.probabilityMap, column, row, s.nx, s.ny) || blades.size() >= capacity) continue;
      const BladeParams params{draws.size,     kBladeStiffness, gravity,   kLawnBladeWeldings, kBladeWeldFactor,
                               draws.thinning, rotationZ,       rotationX, s.maxLength};
      blades.push_back({params, root, column, row});
    }
  }
  writer.Write(blades, s.Bend(), s.threads, result);
  return result;
}
