// The lawn of tufts built the plain way: every kept tuft made by AppendBundle and copied into a
// mesh sized for the whole grid, the slots after the last tuft zeroed and RemoveIllegalFaces run.
// The tests hold the fast builder to it bit for bit; the benchmark times it as the baseline.
#pragma once
#include <algorithm>
#include <cmath>

#include "lawn/bundle_lawn.h"
#include "lawn/lawn_maps.h"
#include "sdk/crt.h"

namespace lawn_test {

inline Mesh CopiedTuftLawn(const BundleLawnSettings& s) {
  const auto unit = [] { return static_cast<float>(crt::rand() / 32767.0); };
  crt::srand(601);
  TuftRanges tuft;
  tuft.size = 1.5f;
  tuft.weldFactorMin = 0.05f;
  tuft.weldFactorMax = 0.1f;
  tuft.weldingsMin = tuft.weldingsMax = 2;
  tuft.maxLength = s.maxLength;
  const unsigned nb = s.blades >= 1.0f ? static_cast<unsigned>(std::min(s.blades, 28.0f)) : 0;
  const Mesh templ = AppendBundle(tuft, nb);
  const float Vt = static_cast<float>(templ.getNumVerts()), Ft = static_cast<float>(templ.getNumFaces());
  Mesh m;
  m.setNumVerts(static_cast<int>(Vt * s.nx * s.ny));
  m.setNumTVerts(m.getNumVerts());
  m.setNumFaces(static_cast<int>(Ft * s.nx * s.ny));
  m.setNumTVFaces(m.getNumFaces());
  tuft.size = s.bundleLength;
  tuft.sizeVariance = s.lengthVar;
  tuft.gravityMin = s.gravity;
  tuft.gravityMax = s.gravity + s.gravity * s.gravityVar;
  const int cx = s.nx >= 1.0f ? static_cast<int>(s.nx) : 0, cy = s.ny >= 1.0f ? static_cast<int>(s.ny) : 0;
  const float sx = s.length / s.nx, sy = s.width / s.ny;
  const float Jx = std::fabs(sx) * s.jitterX, Jy = std::fabs(sy) * s.jitterY;
  std::size_t nv = 0, nf = 0;
  float x = -s.length * 0.5f;
  for (int i = 0; i < cx; ++i, x += sx) {
    float y = -s.width * 0.5f;
    for (int j = 0; j < cy; ++j, y += sy) {
      const float dx = static_cast<float>(unit() * Jx - Jx * 0.5);
      const float dy = static_cast<float>(unit() * Jy - Jy * 0.5);
      const float r = unit();
      unsigned blades = static_cast<unsigned>(std::trunc(s.blades - r * s.blades * s.bladesVar));
      if (blades == 0) blades = 1;
      Point3 root(x + dx, y + dy, 0.0f);
      float tilt = 0.0f;
      if (s.heightMap) {
        root.z = MapHeight(s.heightMap, i, j, s.nx, s.ny, s.magnitude);
        tilt = MapSlopeTilt(s.heightMap, i, j, s.nx, s.ny);
      }
      if (!KeepByProbability(s.probabilityMap, i, j, s.nx, s.ny)) continue;
      Matrix3 bend;
      if (s.field) {
        std::uint32_t ci = 0, cj = 0;
        s.field->CellForBlade(i, j, s.nx, s.ny, &ci, &cj);
        bend = BendMatrix(s.field->SampleCell(ci, cj, s.slice, s.frame));
      }
      tuft.rotationXMin = tilt;
      tuft.rotationXMax = static_cast<float>(tilt + 0.47123894);
      const Mesh t = AppendBundle(tuft, blades);
      for (std::size_t k = 0; k < t.verts.size(); ++k) {
        m.verts[nv + k] = (s.field ? bend.PointTransform(t.verts[k]) : t.verts[k]) + root;
        m.tVerts[nv + k] = t.tVerts[k];
      }
      for (std::size_t k = 0; k < t.faces.size(); ++k) {
        const DWORD* v = t.faces[k].v;
        const auto base = static_cast<DWORD>(nv);
        m.faces[nf + k].setVerts(v[0] + base, v[1] + base, v[2] + base);
        m.faces[nf + k].setEdgeVisFlags(TRUE, TRUE, FALSE);
        m.faces[nf + k].setSmGroup(1);
        m.tvFace[nf + k].setTVerts(v[0] + base, v[1] + base, v[2] + base);
      }
      nv += t.verts.size();
      nf += t.faces.size();
    }
  }
  std::fill(m.verts.begin() + static_cast<std::ptrdiff_t>(nv), m.verts.end(), Point3());
  std::fill(m.tVerts.begin() + static_cast<std::ptrdiff_t>(nv), m.tVerts.end(), Point3());
  std::fill(m.faces.begin() + static_cast<std::ptrdiff_t>(nf), m.faces.end(), Face());
  std::fill(m.tvFace.begin() + static_cast<std::ptrdiff_t>(nf), m.tvFace.end(), TVFace());
  m.RemoveIllegalFaces();
  return m;
}

}  // namespace lawn_test
