// The single-blade builder against the plain way of building a lawn: every kept blade made by
// BuildBladeMesh and copied into a mesh sized for the whole grid, the slots after the last blade
// zeroed and RemoveIllegalFaces run. The builder writes blades straight into place without
// per-blade meshes or normals; both must agree to the last bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "blade/blade_mesh.h"
#include "lawn/blade_lawn.h"
#include "lawn/lawn_maps.h"
#include "sdk/crt.h"
#include "sdk/texmap.h"
#include "tests/lawn_test_util.h"

namespace {

float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }

// The lawn built one BuildBladeMesh blade at a time and copied, in the order the lawn documents.
Mesh CopiedLawn(const BladeLawnSettings& s) {
  crt::srand(322);
  const Mesh templ = BuildBladeMesh({1.5f, 0.0f, 0.1f, 2, 0.1f, 1.25f, 0.0f, 0.0f, 0.0f});
  const int V = templ.getNumVerts(), F = templ.getNumFaces();
  const float cells = s.nx * s.ny;
  const int nv = static_cast<int>(static_cast<float>(V) * cells), nf = static_cast<int>(static_cast<float>(F) * cells);
  Mesh m;
  m.setNumVerts(nv);
  m.setNumFaces(nf);
  m.setNumTVerts(nv);
  m.setNumTVFaces(nf);
  const int cx = s.nx >= 1.0f ? static_cast<int>(s.nx) : 0, cy = s.ny >= 1.0f ? static_cast<int>(s.ny) : 0;
  const float sx = s.length / s.nx, sy = s.width / s.ny;
  const float Jx = std::fabs(sx) * s.jitterX, Jy = std::fabs(sy) * s.jitterY;
  const float ax = s.angleX * 3.1415927f / 180.0f, az = s.angleZ * 3.1415927f / 180.0f;
  const float L = s.bladeLength, lv = s.lengthVar, g = s.gravity, gv = s.gravityVar;
  int b = 0;
  float x = -s.length * 0.5f;
  for (int i = 0; i < cx; ++i, x += sx) {
    float y = -s.width * 0.5f;
    for (int j = 0; j < cy; ++j, y += sy) {
      const float dx = static_cast<float>(UnitRandom() * Jx - Jx * 0.5);
      const float dy = static_cast<float>(UnitRandom() * Jy - Jy * 0.5);
      float rotX = UnitRandom() * ax;
      float rotZ = UnitRandom() * az;
      const float size = UnitRandom() * lv * L + static_cast<float>(L - L * lv * 0.5);
      const float grav = std::max(UnitRandom() * gv * g + static_cast<float>(g - g * gv * 0.5), 0.0f);
      const float thin = UnitRandom() * (s.thinMax - s.thinMin) + s.thinMin;
      if (s.field) rotX = rotZ = 0.0f;
      Point3 root(x + dx, y + dy, 0.0f);
      if (s.heightMap) {
        root.z = MapHeight(s.heightMap, i, j, s.nx, s.ny, s.magnitude);
        rotX += MapSlopeTilt(s.heightMap, i, j, s.nx, s.ny);
      }
      if (!KeepByProbability(s.probabilityMap, i, j, s.nx, s.ny)) continue;
      const Mesh blade = BuildBladeMesh({size, 0.0f, grav, 2, 0.1f, thin, rotZ, rotX, s.maxLength});
      Matrix3 bend;
      if (s.field) {
        std::uint32_t ci = 0, cj = 0;
        s.field->CellForBlade(i, j, s.nx, s.ny, &ci, &cj);
        bend = BendMatrix(s.field->SampleCell(ci, cj, s.slice, s.frame));
      }
      for (int k = 0; k < V; ++k) {
        m.verts[b * V + k] = (s.field ? bend.PointTransform(blade.verts[k]) : blade.verts[k]) + root;
        m.tVerts[b * V + k] = blade.tVerts[k];
      }
      for (int k = 0; k < F; ++k) {
        const DWORD* v = blade.faces[k].v;
        const auto base = static_cast<DWORD>(b * V);
        m.faces[b * F + k].setVerts(v[0] + base, v[1] + base, v[2] + base);
        m.faces[b * F + k].setEdgeVisFlags(TRUE, TRUE, FALSE);
        m.faces[b * F + k].setSmGroup(1);
        m.tvFace[b * F + k].setTVerts(v[0] + base, v[1] + base, v[2] + base);
      }
      ++b;
    }
  }
  for (std::size_t k = static_cast<std::size_t>(b) * V; k < m.verts.size(); ++k) m.verts[k] = m.tVerts[k] = Point3();
  for (std::size_t k = static_cast<std::size_t>(b) * F; k < m.faces.size(); ++k) {
    m.faces[k].setVerts(0, 0, 0);
    m.tvFace[k].setTVerts(0, 0, 0);
  }
  m.RemoveIllegalFaces();
  return m;
}

template <class Vector>
bool SameBits(const Vector& a, const Vector& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
}

using lawn_test::BitmapPtr;
using lawn_test::Rendered;

TEST(BladeLawn, BladesWrittenInPlaceMatchCopiedBladeMeshes) {
  GPUVectorField2D field;
  field.resolutionX = field.resolutionY = field.resolutionZ = 3;
  for (int k = 0; k < 81; ++k) field.vectors.push_back(static_cast<float>(k % 7) * 0.15f - 0.45f);
  NoiseTex noiseTex;
  GradientTex gradientTex;
  ConstantTex blackTex;
  blackTex.color = {0.0f, 0.0f, 0.0f, 1.0f};
  const BitmapPtr noise = Rendered(noiseTex, 32);
  const BitmapPtr gradient = Rendered(gradientTex, 16);
  const BitmapPtr black = Rendered(blackTex, 4);

  struct Case {
    const char* name;
    BladeLawnSettings s;
  };
  std::vector<Case> cases(6);
  cases[0].name = "defaults";
  cases[1].name = "fractional grid, wide variances, gravity clamped, no length boost";
  cases[1].s.nx = 13.5f;
  cases[1].s.ny = 9.25f;
  cases[1].s.length = 7.0f;
  cases[1].s.width = -3.0f;
  cases[1].s.jitterX = 0.9f;
  cases[1].s.jitterY = 0.2f;
  cases[1].s.angleX = 30.0f;
  cases[1].s.angleZ = 180.0f;
  cases[1].s.bladeLength = 2.0f;
  cases[1].s.lengthVar = 0.8f;
  cases[1].s.maxLength = 0.0f;
  cases[1].s.gravity = 0.5f;
  cases[1].s.gravityVar = 3.0f;
  cases[1].s.thinMin = 1.1f;
  cases[1].s.thinMax = 1.65f;
  cases[2].name = "height and probability maps";
  cases[2].s = cases[1].s;
  cases[2].s.heightMap = noise.get();
  cases[2].s.magnitude = 2.5f;
  cases[2].s.probabilityMap = gradient.get();
  cases[3].name = "vector field over a height map, later slice";
  cases[3].s.nx = 17.0f;
  cases[3].s.ny = 11.5f;
  cases[3].s.heightMap = gradient.get();
  cases[3].s.field = &field;
  cases[3].s.slice = 2;
  cases[4].name = "everything dropped by a black map";
  cases[4].s = cases[2].s;
  cases[4].s.probabilityMap = black.get();
  cases[5].name = "no cells";
  cases[5].s.nx = 0.5f;
  cases[5].s.ny = 30.0f;

  for (Case& c : cases) {
    const Mesh expected = CopiedLawn(c.s);
    for (int threads : {1, 2}) {
      c.s.threads = threads;
      const Mesh m = BuildBladeLawnMesh(c.s);
      EXPECT_TRUE(SameBits(m.verts, expected.verts)) << c.name << ", threads " << threads;
      EXPECT_TRUE(SameBits(m.tVerts, expected.tVerts)) << c.name << ", threads " << threads;
      EXPECT_TRUE(m.faces == expected.faces) << c.name << ", threads " << threads;
      EXPECT_TRUE(m.tvFace == expected.tvFace) << c.name << ", threads " << threads;
    }
  }
  EXPECT_EQ(CopiedLawn(cases[4].s).getNumFaces(), 0) << "the black map keeps no blade";
  EXPECT_GT(CopiedLawn(cases[2].s).getNumFaces(), 0);
}

}  // namespace
