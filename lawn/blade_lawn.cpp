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

// One rand() scaled to [0, 1]: the quotient is taken in double and stored as a float.
float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }
}  // namespace

Mesh BuildBladeLawnMesh(const BladeLawnSettings& s) {
  crt::srand(322);
  Mesh result;

  // Template blade: its counts are every lawn blade's counts. Size the mesh once for the full
  // (possibly fractional) grid.
  LawnMeshWriter writer("blades");
  const float cells = s.nx * s.ny;
  if (!writer.Size(static_cast<float>(writer.BladeVerts()) * cells, static_cast<float>(writer.BladeFaces()) * cells,
                   cells, result))
    return result;

  // Grid: columns outer, rows inner; positions accumulate one step at a time.
  const LawnGrid grid(s);
  const int cx = grid.cx, cy = grid.cy;
  const float sx = grid.sx, sy = grid.sy, Jx = grid.Jx, Jy = grid.Jy;
  const float ax = s.angleX * kPi / 180.0f, az = s.angleZ * kPi / 180.0f;
  const float L = s.bladeLength, lv = s.lengthVar, g = s.gravity, gv = s.gravityVar;
  const float lengthBase = static_cast<float>(L - L * lv * 0.5);
  const float gravityBase = static_cast<float>(g - g * gv * 0.5);

  // The draws stay sequential and in this exact order, so a lawn depends only on its parameters,
  // and a dropped blade still consumes its draws (the blades after it keep their shape).
  const std::size_t capacity = writer.Capacity();
  std::vector<LawnBlade> blades;
  if (!ReserveElements(blades, std::min(capacity, static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy)))) {
    result.FreeAll();
    LogEntry(LogLevel::kError, "Lawn: cannot allocate the blade list; the lawn is left empty");
    return result;
  }
  float x = grid.x0;
  for (int i = 0; i < cx; ++i, x += sx) {
    float y = grid.y0;
    for (int j = 0; j < cy; ++j, y += sy) {
      const float dx = static_cast<float>(UnitRandom() * Jx - Jx * 0.5);
      const float dy = static_cast<float>(UnitRandom() * Jy - Jy * 0.5);
      float rotX = UnitRandom() * ax;
      float rotZ = UnitRandom() * az;
      const float size = UnitRandom() * lv * L + lengthBase;
      float grav = UnitRandom() * gv * g + gravityBase;
      const float thin = UnitRandom() * (s.thinMax - s.thinMin) + s.thinMin;
      if (s.field) rotX = rotZ = 0.0f;
      if (grav < 0.0f) grav = 0.0f;
      Point3 root(x + dx, y + dy, 0.0f);
      if (s.heightMap) {
        root.z = MapHeight(s.heightMap, i, j, s.nx, s.ny, s.magnitude);
        rotX += MapSlopeTilt(s.heightMap, i, j, s.nx, s.ny);
      }
      if (!KeepByProbability(s.probabilityMap, i, j, s.nx, s.ny) || blades.size() >= capacity) continue;
      blades.push_back({{size, 0.0f, grav, 2, 0.1f, thin, rotZ, rotX, s.maxLength}, root, i, j});
    }
  }
  writer.Write(blades, s.Bend(), s.threads, result);
  return result;
}
