#include "blade/tuft_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace {
constexpr float kPi = 3.1415927f;
}  // namespace

BladeParams TuftBladeParams(const TuftRanges& t, const float* r) {
  BladeParams p{};
  p.size = t.size - r[2] * t.sizeVariance;
  p.stiffness = t.stiffnessMin + r[3] * (t.stiffnessMax - t.stiffnessMin);
  p.gravity = t.gravityMin + r[4] * (t.gravityMax - t.gravityMin);
  // In single precision, then truncated towards zero.
  const float weldings = r[6] * static_cast<float>(t.weldingsMax - t.weldingsMin) + static_cast<float>(t.weldingsMin);
  p.weldings = static_cast<int>(std::trunc(weldings));
  p.weldFactor = t.weldFactorMin + r[5] * (t.weldFactorMax - t.weldFactorMin);
  p.thinning = 1.25f;
  p.rotationZ = r[0] * 2.0f * kPi;
  p.rotationX = t.rotationXMin + r[1] * (t.rotationXMax - t.rotationXMin);
  p.maxLength = t.maxLength;
  return p;
}

Mesh BuildTuftMesh(const TuftRanges& ranges, const float* randoms, int count, int blades) {
  blades = std::clamp(blades, 0, std::max(count, 0) / 7);
  Mesh tuft;
  std::vector<Mesh> parts;
  std::int64_t numVerts = 0, numFaces = 0;
  try {
    parts.reserve(static_cast<std::size_t>(blades));
    for (int k = 0; k < blades; ++k) {
      parts.push_back(BuildBladeMesh(TuftBladeParams(ranges, randoms + 7 * k)));
      if (parts.back().getNumVerts() == 0) return tuft;  // a blade that could not be built
      numVerts += parts.back().getNumVerts();
      numFaces += parts.back().getNumFaces();
    }
  } catch (const std::bad_alloc&) {
    return tuft;
  }
  if (numVerts > INT32_MAX || numFaces > INT32_MAX) return tuft;
  if (!tuft.setNumVerts(static_cast<int>(numVerts), FALSE, TRUE) ||
      !tuft.setNumTVerts(static_cast<int>(numVerts), FALSE) ||
      !tuft.setNumFaces(static_cast<int>(numFaces), FALSE, TRUE) ||
      !tuft.setNumTVFaces(static_cast<int>(numFaces), FALSE, 0))
    return tuft;
  std::size_t vOffset = 0, fOffset = 0;
  for (const Mesh& blade : parts) {
    std::copy(blade.verts.begin(), blade.verts.end(), tuft.verts.begin() + static_cast<std::ptrdiff_t>(vOffset));
    std::copy(blade.tVerts.begin(), blade.tVerts.end(), tuft.tVerts.begin() + static_cast<std::ptrdiff_t>(vOffset));
    const auto base = static_cast<DWORD>(vOffset);
    for (std::size_t k = 0; k < blade.faces.size(); ++k) {
      const DWORD* v = blade.faces[k].v;
      Face& f = tuft.faces[fOffset + k];
      f.setVerts(v[0] + base, v[1] + base, v[2] + base);
      f.setEdgeVisFlags(TRUE, TRUE, FALSE);
      f.setSmGroup(1);
      tuft.tvFace[fOffset + k].setTVerts(v[0] + base, v[1] + base, v[2] + base);
    }
    vOffset += blade.verts.size();
    fOffset += blade.faces.size();
  }
  tuft.InvalidateGeomCache();
  return tuft;
}
