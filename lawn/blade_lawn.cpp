#include "lawn/blade_lawn.h"

#include "sdk/memory.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "blade/blade_mesh.h"
#include "lawn/lawn_maps.h"
#include "sdk/crt.h"

namespace {
constexpr float kPi = 3.1415927f;
// Below this many kept blades a second thread costs more than it saves.
constexpr std::size_t kMinBladesForTwoWorkers = 4096;

// One rand() scaled to [0, 1]: the quotient is taken in double and stored as a float.
float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }

// A kept blade, as drawn: what the vertex writer needs to build and place it.
struct BladeJob {
  BladeParams params;
  Point3 root;
  int column, row;  // grid position, for the vector-field cell
};

void ReportTooLarge(const char* what, double blades) {
  std::fprintf(stderr, "Lawn: cannot allocate the %s of %.0f blades; the lawn is left empty\n", what, blades);
}

// Room for n elements without creating any: the writer then creates each element once, and the
// pages are first touched by the thread that writes them. False when the memory cannot be had.
template <class T>
bool Reserve(std::vector<T>& v, std::size_t n) {
  try {
    v.reserve(n);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// What every lawn blade shares with the template blade (all are built with 2 weldings): the counts,
// the texture vertices, which depend on the weldings only, and the faces as the lawn writes them.
struct BladeLayout {
  std::size_t V = 0, F = 0;
  std::vector<UVVert> tVerts;
  std::vector<Face> faces;  // corners in the blade's own numbering, edges (on, on, off), group 1
};

BladeLayout TemplateLayout() {
  const BladeParams templ{1.5f, 0.0f, 0.1f, 2, 0.1f, 1.25f, 0.0f, 0.0f, 0.0f};
  const Mesh blade = BuildBladeMesh(templ);
  BladeLayout layout;
  layout.V = blade.verts.size();
  layout.F = blade.faces.size();
  layout.tVerts = blade.tVerts;
  layout.faces = blade.faces;  // the blade builder already gives edges (on, on, off) and group 1
  return layout;
}

// Writes the vertices and texture vertices of every kept blade in blade order (blade b at b*V),
// then the origin in the slots no blade took, up to numVerts. Each blade is built in a small
// buffer and appended whole. The arrays must have room reserved. False when a blade could not
// be built.
bool WriteVertices(const std::vector<BladeJob>& jobs, const BladeLawnSettings& s, const BladeLayout& layout,
                   std::size_t numVerts, Mesh& out) {
  try {
    std::vector<Point3> blade(layout.V);
    for (const BladeJob& job : jobs) {
      if (!WriteBladeVertices(job.params, blade.data(), nullptr)) return false;
      Matrix3 bend;
      if (s.field) {
        std::uint32_t ci = 0, cj = 0;
        s.field->CellForBlade(job.column, job.row, s.nx, s.ny, &ci, &cj);
        bend = BendMatrix(s.field->SampleCell(ci, cj, s.slice, s.frame));
      }
      for (Point3& v : blade) {
        // The bend turns the blade about its own root, before it moves to its place.
        v = (s.field ? bend.PointTransform(v) : v) + job.root;
      }
      out.verts.insert(out.verts.end(), blade.begin(), blade.end());
      out.tVerts.insert(out.tVerts.end(), layout.tVerts.begin(), layout.tVerts.end());
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  out.verts.resize(numVerts);
  out.tVerts.resize(numVerts);
  return true;
}

// Writes the faces and texture faces of `blades` blades: the template's faces shifted by b*V for
// blade b; texture faces take the same corners, since texture vertex k belongs to vertex k. Each
// blade's faces are shifted in a small buffer and appended whole. The arrays must have room
// reserved. False when the buffers cannot be had.
bool WriteFaces(std::size_t blades, const BladeLayout& layout, Mesh& out) {
  try {
    std::vector<Face> faces(layout.F);
    std::vector<TVFace> tvFaces(layout.F);
    for (std::size_t b = 0; b < blades; ++b) {
      const auto base = static_cast<DWORD>(b * layout.V);
      for (std::size_t k = 0; k < layout.F; ++k) {
        const DWORD* v = layout.faces[k].v;
        faces[k] = layout.faces[k];
        faces[k].setVerts(v[0] + base, v[1] + base, v[2] + base);
        tvFaces[k].setTVerts(v[0] + base, v[1] + base, v[2] + base);
      }
      out.faces.insert(out.faces.end(), faces.begin(), faces.end());
      out.tvFace.insert(out.tvFace.end(), tvFaces.begin(), tvFaces.end());
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Whether the vertices and the faces get a worker each: on request, or by default for a large lawn
// on a machine with more than one hardware thread.
bool TwoWorkers(const BladeLawnSettings& s, std::size_t blades) {
  if (s.threads > 0) return s.threads > 1;
  return std::thread::hardware_concurrency() > 1 && blades >= kMinBladesForTwoWorkers;
}
}  // namespace

Mesh BuildBladeLawnMesh(const BladeLawnSettings& s) {
  crt::srand(322);
  Mesh result;

  // Template blade: its counts are every lawn blade's counts.
  const BladeLayout layout = TemplateLayout();
  const std::size_t V = layout.V, F = layout.F;

  // Size the mesh once for the full (possibly fractional) grid.
  const float cells = s.nx * s.ny;
  const float nv = static_cast<float>(V) * cells, nf = static_cast<float>(F) * cells;
  if (!(nv >= 0.0f && nf >= 0.0f) || nv >= static_cast<float>(INT_MAX) || nf >= static_cast<float>(INT_MAX)) {
    ReportTooLarge("vertices and faces (more than a mesh can index)", cells);
    return result;
  }
  const int numVerts = static_cast<int>(nv), numFaces = static_cast<int>(nf);
  // The vertex arrays are filled to this size; the face arrays hold only the kept blades' faces
  // (the trailing (0, 0, 0) faces the full size would leave are the ones RemoveIllegalFaces drops).
  const std::size_t vertexBytes = static_cast<std::size_t>(numVerts) * (sizeof(Point3) + sizeof(UVVert));
  if (!HostCanHold(vertexBytes) || !Reserve(result.verts, static_cast<std::size_t>(numVerts)) ||
      !Reserve(result.tVerts, static_cast<std::size_t>(numVerts))) {
    result.FreeAll();
    ReportTooLarge("mesh", cells);
    return result;
  }
  const std::size_t capacity =
      V && F ? std::min(static_cast<std::size_t>(numVerts) / V, static_cast<std::size_t>(numFaces) / F) : 0;

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

  // Every blade face has three distinct corners inside its own blade, so the only faces
  // RemoveIllegalFaces would drop are the (0, 0, 0) ones after the last blade: they are never
  // written. The two workers write disjoint arrays, so the mesh is the same with one or two.
  // Reserved memory is not touched yet, so the vertices still count against what the host can hold.
  const std::size_t faceBytes = jobs.size() * F * (sizeof(Face) + sizeof(TVFace));
  if (!HostCanHold(vertexBytes + faceBytes) || !Reserve(result.faces, jobs.size() * F) ||
      !Reserve(result.tvFace, jobs.size() * F)) {
    result.FreeAll();
    ReportTooLarge("mesh", cells);
    return result;
  }
  std::thread faceWorker;
  bool facesWritten = false;
  if (TwoWorkers(s, jobs.size())) {
    try {
      faceWorker = std::thread([&] { facesWritten = WriteFaces(jobs.size(), layout, result); });
    } catch (const std::system_error&) {
      // No thread to be had: this thread writes the faces too.
    }
  }
  const bool verticesWritten = WriteVertices(jobs, s, layout, static_cast<std::size_t>(numVerts), result);
  if (faceWorker.joinable()) {
    faceWorker.join();
  } else {
    facesWritten = WriteFaces(jobs.size(), layout, result);
  }
  if (!verticesWritten || !facesWritten) {
    result.FreeAll();
    ReportTooLarge("blades", cells);
  }
  return result;
}
