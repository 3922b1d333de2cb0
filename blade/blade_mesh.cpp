#include "blade/blade_mesh.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int kRows = 15;          // rows 0 to 14 from the root; the tip follows them
constexpr int kBands = kRows - 1;  // quad bands between neighbouring rows
constexpr float kPi = 3.1415927f;  // single precision, as blades have always been arched

// Four floats worked on at once. Every lane does the same single-precision operations in the
// same order as the host's scalar Matrix3 code, so the results are the same to the last bit.
using Lanes = float __attribute__((vector_size(16)));
constexpr int kLanes = 4;

// Blades up to this many columns (rounded up to whole lanes) keep their column table on the stack.
constexpr int kStackColumns = 64;

Lanes Splat(float f) { return Lanes{f, f, f, f}; }

// An affine matrix as the host keeps it: axis rows and the translation row, lane 3 unused.
struct Affine {
  Lanes row[4] = {{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {}};
};

// Post-multiplies m by the rotation with axis rows r0, r1, r2 and no translation, with the
// products and sums of Matrix3's own product.
void PostMultiply(Affine& m, const Lanes& r0, const Lanes& r1, const Lanes& r2) {
  for (int k = 0; k < 3; ++k) m.row[k] = m.row[k][0] * r0 + m.row[k][1] * r1 + m.row[k][2] * r2;
  m.row[3] = m.row[3][0] * r0 + m.row[3][1] * r1 + m.row[3][2] * r2 + Lanes{};
}

// Cosine and sine of an angle; a zero angle needs no library call (cos is 1, sin keeps the sign).
void CosSin(float angle, float& c, float& s) {
  c = 1.0f;
  s = angle;
  if (angle != 0.0f) {
    c = std::cos(angle);
    s = std::sin(angle);
  }
}

// Matrix3::RotateX: +Y turns towards +Z.
void RotateX(Affine& m, float angle) {
  float c, s;
  CosSin(angle, c, s);
  PostMultiply(m, Lanes{1.0f, 0.0f, 0.0f, 0.0f}, Lanes{0.0f, c, s, 0.0f}, Lanes{0.0f, -s, c, 0.0f});
}

// Matrix3::RotateZ: +X turns towards +Y.
void RotateZ(Affine& m, float angle) {
  float c, s;
  CosSin(angle, c, s);
  PostMultiply(m, Lanes{c, s, 0.0f, 0.0f}, Lanes{-s, c, 0.0f, 0.0f}, Lanes{0.0f, 0.0f, 1.0f, 0.0f});
}

// Four points, one per lane.
struct Points {
  Lanes x, y, z;
};

// Matrix3::PointTransform of four points at once.
Points Transform(const Affine& m, const Points& p) {
  const auto axis = [&](int k) { return p.x * m.row[0][k] + p.y * m.row[1][k] + p.z * m.row[2][k] + m.row[3][k]; };
  return {axis(0), axis(1), axis(2)};
}

Points Scaled(const Points& p, float f) { return {p.x * f, p.y * f, p.z * f}; }

Lanes Load(const float* f) {
  Lanes l;
  std::memcpy(&l, f, sizeof l);
  return l;
}

// What every row shares per column, padded to whole lanes: the column number, texture u and
// the sideways arch. `index` is null when a table too large for the stack cannot be allocated.
class ColumnTable {
 public:
  ColumnTable(int cols, float spans, float weldFactor) {
    const int padded = (cols + kLanes - 1) / kLanes * kLanes;
    float* f = stack_;
    if (padded > kStackColumns) {
      heap_.reset(new (std::nothrow) float[3 * static_cast<size_t>(padded)]);
      f = heap_.get();
      if (!f) return;
    }
    index = f;
    u = f + padded;
    arch = f + 2 * padded;
    for (int j = 0; j < padded; ++j) {
      const float fj = static_cast<float>(j);
      index[j] = fj;
      u[j] = fj / spans;
      arch[j] = weldFactor * std::sin(fj * kPi / spans);
    }
  }
  ColumnTable(const ColumnTable&) = delete;
  ColumnTable& operator=(const ColumnTable&) = delete;

  float* index = nullptr;
  float* u = nullptr;
  float* arch = nullptr;

 private:
  float stack_[3 * kStackColumns];
  std::unique_ptr<float[]> heap_;
};

// Bend increment of row i: grows with the square of the height, less the stiffness, never
// negative, boosted by 5 % per unit the row lies beyond maxLength from the root.
float RowIncrement(int i, const BladeParams& p) {
  const float h = 0.05f * static_cast<float>(i);
  float a = h * h * p.gravity - p.stiffness;
  if (a < 0.0f) a = 0.0f;
  const float reach = p.size * 0.5f * static_cast<float>(i);
  if (p.maxLength > 0.0f && reach > p.maxLength) a = a * (1.0f + 0.05f * (reach - p.maxLength));
  return a;
}

// X of a row's first column: the root narrows to 0.5 and 0.625, rows 2 to 7 are 0.75 wide, and
// from row 8 the blade narrows by a power of the height above row 7.
float RowStart(int i, float thinning) {
  if (i == 0) return -0.25f;
  if (i == 1) return -0.3125f;
  if (i <= 7) return -0.375f;
  // The power is rounded to single precision before it is scaled, so every blade that was ever
  // built keeps its exact width.
  if (i == 8) return 0.01875f * 1.0f - 0.375f;  // pow(1, y) is 1 for every y
  const double power = std::pow(static_cast<double>(i - 7), static_cast<double>(thinning));
  return 0.01875f * static_cast<float>(power) - 0.375f;
}

// Writes one triangle and its texture triangle: the face copies the prototype's smoothing group
// and edge flags and takes the three corners.
void PutFace(const Face& prototype, Face& face, TVFace& tvFace, DWORD a, DWORD b, DWORD c) {
  face = prototype;
  face.setVerts(a, b, c);
  tvFace.setTVerts(a, b, c);
}

// A negative count cannot come from a panel; it builds the plain two-column blade.
int Weldings(int weldings) { return weldings > 0 ? weldings : 0; }

}  // namespace

std::int64_t BladeVertexCount(int weldings) { return std::int64_t{kRows} * Weldings(weldings) + 2 * kRows + 1; }

std::int64_t BladeFaceCount(int weldings) {
  return (2 * std::int64_t{kBands} + 1) * (std::int64_t{Weldings(weldings)} + 1);
}

bool WriteBladeVertices(const BladeParams& p, Point3* vert, UVVert* tVert) {
  const int welds = Weldings(p.weldings);
  const int cols = welds + 2;
  const float spans = static_cast<float>(welds + 1);
  const ColumnTable column(cols, spans, p.weldFactor);
  if (!column.index) return false;

  Affine orient;
  RotateZ(orient, p.rotationZ);
  RotateX(orient, p.rotationX);

  // Each row turns the bend matrix further, so row i is turned about the root by the sum of the
  // increments of rows 0 to i. The orientation is applied to each finished vertex.
  Affine bend;
  for (int i = 0; i < kRows; ++i) {
    RotateX(bend, RowIncrement(i, p));
    const float x0 = RowStart(i, p.thinning);
    const float width = std::fabs(2.0f * x0);
    const float v = static_cast<float>(i) / static_cast<float>(kBands);
    for (int j = 0; j < cols; j += kLanes) {
      const Points unbent{Splat(x0) + Load(column.index + j) * width / spans, Load(column.arch + j),
                          Splat(0.5f * static_cast<float>(i))};
      const Points done = Transform(orient, Scaled(Transform(bend, unbent), p.size));
      for (int l = 0; l < kLanes && j + l < cols; ++l) {
        *vert++ = Point3(done.x[l], done.y[l], done.z[l]);
        if (tVert) *tVert++ = UVVert(column.u[j + l], v, 0.0f);
      }
    }
  }

  // The tip leans by one more increment, without the length boost.
  float tipIncrement = 0.5625f * p.gravity - p.stiffness;
  if (tipIncrement < 0.0f) tipIncrement = 0.0f;
  RotateX(bend, tipIncrement);
  const Points tip = Transform(orient, Scaled(Transform(bend, {Splat(0.0f), Splat(0.0f), Splat(7.5f)}), p.size));
  *vert = Point3(tip.x[0], tip.y[0], tip.z[0]);
  if (tVert) *tVert = UVVert(0.5f, 1.0f, 0.0f);
  return true;
}

void WriteBladeFaces(int weldings, Face* face, TVFace* tvFace) {
  // Band faces, two triangles per quad from the root up, then the tip fan. Smoothing group 1; the
  // edge from the third corner back to the first is hidden (it is the diagonal of a quad or the
  // base of a tip triangle).
  Face prototype;
  prototype.setSmGroup(1);
  prototype.setEdgeVisFlags(1, 1, 0);
  const auto welds = static_cast<DWORD>(Weldings(weldings));
  const DWORD cols = welds + 2;
  for (DWORD band = 0; band < static_cast<DWORD>(kBands); ++band) {
    for (DWORD k = 0; k <= welds; ++k) {
      const DWORD low = band * cols + k;
      const DWORD high = low + cols;
      PutFace(prototype, *face++, *tvFace++, low, low + 1, high + 1);
      PutFace(prototype, *face++, *tvFace++, high + 1, high, low);
    }
  }
  const DWORD top = static_cast<DWORD>(kBands) * cols;
  const DWORD tip = top + cols;
  for (DWORD k = 0; k <= welds; ++k) PutFace(prototype, *face++, *tvFace++, top + k, top + k + 1, tip);
}

Mesh BuildBladeMesh(const BladeParams& p) {
  const std::int64_t numVerts = BladeVertexCount(p.weldings);
  const std::int64_t numFaces = BladeFaceCount(p.weldings);
  // Counts beyond the host's int cannot be allocated; they fail like any allocation. A failed
  // setNum* has already emptied the mesh.
  Mesh mesh;
  if (numVerts > INT_MAX || numFaces > INT_MAX) return mesh;
  if (!mesh.setNumVerts(static_cast<int>(numVerts), FALSE, TRUE) ||
      !mesh.setNumTVerts(static_cast<int>(numVerts), FALSE) ||
      !mesh.setNumFaces(static_cast<int>(numFaces), FALSE, TRUE) ||
      !mesh.setNumTVFaces(static_cast<int>(numFaces), FALSE, 0))
    return mesh;
  if (!WriteBladeVertices(p, mesh.verts.data(), mesh.tVerts.data())) {
    mesh.FreeAll();
    return mesh;
  }
  WriteBladeFaces(p.weldings, mesh.faces.data(), mesh.tvFace.data());

  mesh.InvalidateGeomCache();
  mesh.InvalidateTopologyCache();
  mesh.buildNormals();
  mesh.buildRenderNormals();
  return mesh;
}
