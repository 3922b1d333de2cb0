#include "lawn/blade_lawn.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <new>
#include <thread>
#include <vector>

#include "blade/blade_mesh.h"
#include "lawn/lawn_maps.h"
#include "sdk/crt.h"

namespace {
constexpr float kPi = 3.1415927f;
// Below this many blades a second thread costs more than it saves.
constexpr std::size_t kMinBladesPerThread = 2048;

// One rand() scaled to [0, 1]: the quotient is taken in double and stored as a float.
float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }

// A kept blade, as drawn: what the workers need to build and place it.
struct BladeJob {
  BladeParams params;
  Point3 root;
  int column, row;  // grid position, for the vector-field cell
};

void ReportTooLarge(const char* what, double blades) {
  std::fprintf(stderr, "Lawn: cannot allocate the %s of %.0f blades; the lawn is left empty\n", what, blades);
}

// Builds blades [begin, end) and copies each into its slot b: vertices b*V.., faces b*F.. False
// when a blade could not be built (memory).
bool PlaceBlades(const std::vector<BladeJob>& jobs, std::size_t begin, std::size_t end, const BladeLawnSettings& s,
                 std::size_t V, std::size_t F, Mesh& out) {
  try {
    for (std::size_t b = begin; b < end; ++b) {
      const BladeJob& job = jobs[b];
      const Mesh blade = BuildBladeMesh(job.params);
      if (blade.verts.size() != V || blade.faces.size() != F || blade.tVerts.size() != V) return false;
      Matrix3 bend;
      if (s.field) {
        std::uint32_t ci = 0, cj = 0;
        s.field->CellForBlade(job.column, job.row, s.nx, s.ny, &ci, &cj);
        bend = BendMatrix(s.field->SampleCell(ci, cj, s.slice, s.frame));
      }
      Point3* verts = &out.verts[b * V];
      UVVert* tverts = &out.tVerts[b * V];
      for (std::size_t k = 0; k < V; ++k) {
        // The bend turns the blade about its own root, before it moves to its place.
        const Point3 p = s.field ? bend.PointTransform(blade.verts[k]) : blade.verts[k];
        verts[k] = p + job.root;
        tverts[k] = blade.tVerts[k];
      }
      const auto base = static_cast<DWORD>(b * V);
      Face* faces = &out.faces[b * F];
      TVFace* tvFaces = &out.tvFace[b * F];
      for (std::size_t k = 0; k < F; ++k) {
        const DWORD* v = blade.faces[k].v;
        faces[k].setVerts(v[0] + base, v[1] + base, v[2] + base);
        faces[k].setEdgeVisFlags(TRUE, TRUE, FALSE);
        faces[k].setSmGroup(1);
        // Texture faces take the vertex indices: texture vertex k belongs to vertex k.
        tvFaces[k].setTVerts(v[0] + base, v[1] + base, v[2] + base);
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Runs PlaceBlades over all jobs in `threads` contiguous ranges; the slots are disjoint, so the
// result is the same for any split.
bool PlaceAllBlades(const std::vector<BladeJob>& jobs, const BladeLawnSettings& s, std::size_t V, std::size_t F,
                    Mesh& out) {
  std::size_t threads = static_cast<std::size_t>(s.threads);
  if (s.threads <= 0) {
    threads = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), 64);
    threads = std::min(threads, jobs.size() / kMinBladesPerThread);
  }
  threads = std::max<std::size_t>(1, std::min(threads, jobs.size()));
  std::atomic<bool> ok{true};
  std::vector<std::thread> workers;
  for (std::size_t t = 1; t < threads; ++t) {
    const std::size_t begin = jobs.size() * t / threads, end = jobs.size() * (t + 1) / threads;
    try {
      workers.emplace_back([&, begin, end] {
        if (!PlaceBlades(jobs, begin, end, s, V, F, out)) ok = false;
      });
    } catch (const std::exception&) {
      // No thread to be had: the calling thread builds this range too.
      if (!PlaceBlades(jobs, begin, end, s, V, F, out)) ok = false;
    }
  }
  if (!PlaceBlades(jobs, 0, jobs.size() / threads, s, V, F, out)) ok = false;
  for (std::thread& w : workers) w.join();
  return ok;
}
}  // namespace

Mesh BuildBladeLawnMesh(const BladeLawnSettings& s) {
  crt::srand(322);
  Mesh result;

  // Template blade: its counts are every lawn blade's counts (all are built with 2 weldings).
  const BladeParams templ{1.5f, 0.0f, 0.1f, 2, 0.1f, 1.25f, 0.0f, 0.0f, 0.0f};
  std::size_t V = 0, F = 0;
  {
    const Mesh t = BuildBladeMesh(templ);
    V = t.verts.size();
    F = t.faces.size();
  }

  // Size the mesh once for the full (possibly fractional) grid.
  const float cells = s.nx * s.ny;
  const float nv = static_cast<float>(V) * cells, nf = static_cast<float>(F) * cells;
  if (!(nv >= 0.0f && nf >= 0.0f) || nv >= static_cast<float>(INT_MAX) || nf >= static_cast<float>(INT_MAX)) {
    ReportTooLarge("vertices and faces (more than a mesh can index)", cells);
    return result;
  }
  const int numVerts = static_cast<int>(nv), numFaces = static_cast<int>(nf);
  if (!result.setNumVerts(numVerts, FALSE) || !result.setNumFaces(numFaces, FALSE) ||
      !result.setNumTVerts(numVerts, FALSE) || !result.setNumTVFaces(numFaces, FALSE)) {
    result.FreeAll();
    ReportTooLarge("mesh", cells);
    return result;
  }
  const std::size_t capacity = V && F ? std::min(static_cast<std::size_t>(numVerts) / V, static_cast<std::size_t>(numFaces) / F) : 0;

  // Grid: columns outer, rows inner; positions accumulate one step at a time.
  const int cx = s.nx >= 1.0f ? static_cast<int>(s.nx) : 0;
  const int cy = s.ny >= 1.0f ? static_cast<int>(s.ny) : 0;
  const float hl = s.length * 0.5f, hw = s.width * 0.5f;
  const float sx = s.length / s.nx, sy = s.width / s.ny;
  const float Jx = std::fabs(sx) * s.jitterX, Jy = std::fabs(sy) * s.jitterY;
  const float ax = s.angleX * kPi / 180.0f, az = s.angleZ * kPi / 180.0f;
  const float L = s.bladeLength, lv = s.lengthVar, g = s.gravity, gv = s.gravityVar;
  const float lengthBase = static_cast<float>(L - L * lv * 0.5);
  const float gravityBase = static_cast<float>(g - g * gv * 0.5);

  // The draws stay sequential and in this exact order, so a lawn depends only on its parameters,
  // and a dropped blade still consumes its draws (the blades after it keep their shape).
  std::vector<BladeJob> jobs;
  try {
    jobs.reserve(std::min(capacity, static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy)));
  } catch (const std::exception&) {
    result.FreeAll();
    ReportTooLarge("blade list", cells);
    return result;
  }
  float x = -hl;
  for (int i = 0; i < cx; ++i, x += sx) {
    float y = -hw;
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
      if (!KeepByProbability(s.probabilityMap, i, j, s.nx, s.ny) || jobs.size() >= capacity) continue;
      jobs.push_back({{size, 0.0f, grav, 2, 0.1f, thin, rotZ, rotX, s.maxLength}, root, i, j});
    }
  }

  // Build and copy the kept blades. Slots after the last blade keep the zero vertices and the
  // (0, 0, 0) faces the sizing gave them; RemoveIllegalFaces drops those faces.
  if (!PlaceAllBlades(jobs, s, V, F, result)) {
    result.FreeAll();
    ReportTooLarge("blades", cells);
    return result;
  }
  result.RemoveIllegalFaces();
  return result;
}
