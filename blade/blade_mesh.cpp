#include "blade/blade_mesh.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

constexpr int kRows = 15;          // rows 0 to 14 from the root; the tip follows them
constexpr int kBands = kRows - 1;  // quad bands between neighbouring rows
constexpr float kPi = 3.1415927f;  // single precision, as blades have always been arched

// Blades up to this many columns keep their column table on the stack.
constexpr int kStackColumns = 64;

// What every row shares for one column: texture u and the sideways arch.
struct Column {
  float u;
  float arch;
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
  const double power = std::pow(static_cast<double>(i - 7), static_cast<double>(thinning));
  return 0.01875f * static_cast<float>(power) - 0.375f;
}

// Writes one triangle and its texture triangle: smoothing group 1, the edge from the third
// corner back to the first hidden (it is the diagonal of a quad or the tip's base).
void PutFace(Face& face, TVFace& tvFace, DWORD a, DWORD b, DWORD c) {
  face.setVerts(a, b, c);
  face.setSmGroup(1);
  face.setEdgeVisFlags(1, 1, 0);
  tvFace.setTVerts(a, b, c);
}

// Band faces, two triangles per quad from the root up, then the tip fan.
void PutFaces(Mesh& mesh, DWORD welds) {
  const DWORD cols = welds + 2;
  Face* face = mesh.faces.data();
  TVFace* tvFace = mesh.tvFace.data();
  for (DWORD band = 0; band < static_cast<DWORD>(kBands); ++band) {
    for (DWORD k = 0; k <= welds; ++k) {
      const DWORD low = band * cols + k;
      const DWORD high = low + cols;
      PutFace(*face++, *tvFace++, low, low + 1, high + 1);
      PutFace(*face++, *tvFace++, high + 1, high, low);
    }
  }
  const DWORD top = static_cast<DWORD>(kBands) * cols;
  const DWORD tip = top + cols;
  for (DWORD k = 0; k <= welds; ++k) PutFace(*face++, *tvFace++, top + k, top + k + 1, tip);
}

}  // namespace

Mesh BuildBladeMesh(const BladeParams& p) {
  // A negative count cannot come from a panel; it builds the plain two-column blade.
  const int welds = p.weldings > 0 ? p.weldings : 0;
  const std::int64_t numVerts = std::int64_t{kRows} * welds + 2 * kRows + 1;
  const std::int64_t numFaces = (2 * std::int64_t{kBands} + 1) * (std::int64_t{welds} + 1);
  // Counts beyond the host's int cannot be allocated; they fail like any allocation.
  if (numVerts > INT_MAX || numFaces > INT_MAX) return Mesh();
  Mesh mesh;
  if (!mesh.setNumVerts(static_cast<int>(numVerts), FALSE, TRUE) ||
      !mesh.setNumTVerts(static_cast<int>(numVerts), FALSE) ||
      !mesh.setNumFaces(static_cast<int>(numFaces), FALSE, TRUE) ||
      !mesh.setNumTVFaces(static_cast<int>(numFaces), FALSE, 0))
    return Mesh();

  const int cols = welds + 2;
  const float spans = static_cast<float>(welds + 1);
  Column stackColumns[kStackColumns];
  std::unique_ptr<Column[]> heapColumns;
  Column* column = stackColumns;
  if (cols > kStackColumns) {
    heapColumns = std::make_unique_for_overwrite<Column[]>(static_cast<size_t>(cols));
    column = heapColumns.get();
  }
  for (int j = 0; j < cols; ++j) {
    const float fj = static_cast<float>(j);
    column[j] = {fj / spans, p.weldFactor * std::sin(fj * kPi / spans)};
  }

  Matrix3 orient;
  orient.IdentityMatrix();
  orient.RotateZ(p.rotationZ);
  orient.RotateX(p.rotationX);

  // Each row turns the bend matrix further, so row i is turned about the root by the sum of the
  // increments of rows 0 to i. The orientation is applied to each finished vertex.
  Matrix3 bend;
  bend.IdentityMatrix();
  Point3* vert = mesh.verts.data();
  UVVert* tVert = mesh.tVerts.data();
  for (int i = 0; i < kRows; ++i) {
    bend.RotateX(RowIncrement(i, p));
    const float x0 = RowStart(i, p.thinning);
    const float width = std::fabs(2.0f * x0);
    const float z = 0.5f * static_cast<float>(i);
    const float v = static_cast<float>(i) / static_cast<float>(kBands);
    for (int j = 0; j < cols; ++j) {
      const Point3 unbent(x0 + static_cast<float>(j) * width / spans, column[j].arch, z);
      *vert++ = orient.PointTransform(bend.PointTransform(unbent) * p.size);
      *tVert++ = UVVert(column[j].u, v, 0.0f);
    }
  }

  // The tip leans by one more increment, without the length boost.
  float tipIncrement = 0.5625f * p.gravity - p.stiffness;
  if (tipIncrement < 0.0f) tipIncrement = 0.0f;
  bend.RotateX(tipIncrement);
  *vert = orient.PointTransform(bend.PointTransform(Point3(0.0f, 0.0f, 7.5f)) * p.size);
  *tVert = UVVert(0.5f, 1.0f, 0.0f);

  PutFaces(mesh, static_cast<DWORD>(welds));

  mesh.InvalidateGeomCache();
  mesh.InvalidateTopologyCache();
  mesh.buildNormals();
  mesh.buildRenderNormals();
  return mesh;
}
