#include "app/finite_geometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "app/errors.h"

namespace {

bool Finite(const Point3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

[[noreturn]] void Refuse(const ExportNode& node, const std::string& what) {
  throw InputError("node \"" + node.name + "\": " + what + "; no file can hold it, so nothing is written");
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

}  // namespace

void CheckFiniteGeometry(const ExportNode& node) {
  const Mesh& mesh = node.Geometry();
  if (node.tm)
    for (int r = 0; r < 4; ++r)
      if (!Finite((*node.tm)[r])) Refuse(node, "its transform holds a number that is not finite");
  Point3 lo(FLT_MAX, FLT_MAX, FLT_MAX), hi(-FLT_MAX, -FLT_MAX, -FLT_MAX);
  for (std::size_t i = 0; i < mesh.verts.size(); ++i) {
    const Point3& p = mesh.verts[i];
    if (!Finite(p)) Refuse(node, "vertex " + std::to_string(i) + " of its mesh is not a finite number");
    // Finite from here on, so plain comparisons do (fmin and fmax are calls into libm).
    lo = Point3(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
    hi = Point3(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
  }
  for (std::size_t i = 0; i < mesh.tVerts.size(); ++i)
    if (!Finite(mesh.tVerts[i]))
      Refuse(node, "texture vertex " + std::to_string(i) + " of its mesh is not a finite number");
  if (!node.tm || mesh.verts.empty()) return;
  // The world coordinate c of a vertex is x r0[c] + y r1[c] + z r2[c] + r3[c], summed in single
  // precision. Bounding every term by the box, in double, bounds every partial sum the writers form;
  // a little room is left for the rounding of the float sums.
  const Matrix3& m = *node.tm;
  const double reach[3] = {std::fmax(std::fabs(lo.x), std::fabs(hi.x)), std::fmax(std::fabs(lo.y), std::fabs(hi.y)),
                           std::fmax(std::fabs(lo.z), std::fabs(hi.z))};
  for (int c = 0; c < 3; ++c) {
    double bound = std::fabs(m[3][c]);
    for (int k = 0; k < 3; ++k) bound += reach[k] * std::fabs(m[k][c]);
    if (bound > FLT_MAX * (1.0 - 1e-6))
      Refuse(node, "its transform carries its mesh out to coordinates of " + Number(bound) +
                       ", beyond single precision (" + Number(FLT_MAX) + ")");
  }
}
