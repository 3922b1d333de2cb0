// The mowing pass: the cut of one straight blade, the regions' borders, the cut lengths at the ends
// of the range, inverse selection, partly covered root rows and meshes the walk must refuse.
#include "mower/mow.h"

#include <gtest/gtest.h>

#include <cmath>

#include "blade/blade_mesh.h"
#include "tests/mower_blades.h"

namespace {

constexpr int kW = 1;                // three columns, as in the worked example
constexpr int kTip = 15 * (kW + 2);  // tip vertex index

Point3 P(float x, float y, float z) { return Point3(x, y, z); }

MowPass Circle(const Point3& centre, float radius, float length) {
  MowPass p;
  p.shape = kMowCircle;
  p.centre = centre;
  p.radius = radius;
  p.length = length;
  return p;
}

MowPass Rect(const Point3& centre, float w, float h, float length) {
  MowPass p;
  p.shape = kMowRectangle;
  p.centre = centre;
  p.width = w;
  p.height = h;
  p.length = length;
  return p;
}

int Row(int vertex) { return vertex == kTip ? 15 : vertex / (kW + 2); }

bool SameFacesAndUV(const Mesh& a, const Mesh& b) {
  if (a.faces != b.faces || a.tvFace != b.tvFace || a.tVerts.size() != b.tVerts.size()) return false;
  for (size_t i = 0; i < a.tVerts.size(); ++i) {
    if (a.tVerts[i].x != b.tVerts[i].x || a.tVerts[i].y != b.tVerts[i].y) return false;
  }
  return true;
}

TEST(Mowing, StraightBladeCollapsesItsTopOntoTheCut) {
  const Mesh before = StraightBlade(kW, P(0, 0, 0));
  Mesh m = before;
  EXPECT_EQ(MowMesh(m, Circle(P(0, 0, 0), 1.0f, 0.55f)), 1);
  ASSERT_TRUE(SameFacesAndUV(m, before));
  for (int k = 0; k <= kTip; ++k) {
    const int row = Row(k);
    if (row <= 7) {
      EXPECT_EQ(m.verts[k], before.verts[k]) << "vertex " << k;
    } else {
      // Rows 8 to 14 and the tip end where the column-0 edge between rows 7 and 8 reaches v = 0.55.
      EXPECT_NEAR(m.verts[k].x, 0.0f, 1e-5f) << "vertex " << k;
      EXPECT_NEAR(m.verts[k].y, 0.0f, 1e-5f) << "vertex " << k;
      EXPECT_NEAR(m.verts[k].z, 3.85f, 1e-5f) << "vertex " << k;
    }
    EXPECT_EQ(m.tVerts[k].z, row >= 13 ? 0.55f : 0.0f) << "cut mark of vertex " << k;
  }
}

TEST(Mowing, GeneratedBladesFollowTheSameLayout) {
  // A straight generated blade at weldings 2, as the lawn builders make them, then turned: the
  // cut sees only the layout, so the top still collapses to the point at v = 0.55 of the
  // column-0 edge, and all of rows 13 and 14 and the tip are marked.
  const Mesh before = BuildBladeMesh({2.0f, 0.0f, 0.0f, 2, 0.1f, 1.25f, 0.7f, 0.0f, 0.0f});
  Mesh m = before;
  ASSERT_EQ(CheckMowable(m), MowCheck::kMowable);
  EXPECT_EQ(MowMesh(m, Circle(P(0, 0, 0), 1, 0.55f)), 1);
  const int columns = 4, tip = 15 * columns;
  const Point3 a = before.verts[7 * columns], b = before.verts[8 * columns];
  const Point3 cut = a + (b - a) * 0.7f;  // v = 0.55 lies 0.7 of the way from row 7 to row 8
  for (int k = 0; k <= tip; ++k) {
    const int row = k == tip ? 15 : k / columns;
    if (row >= 8) {
      EXPECT_NEAR((m.verts[k] - cut).Length(), 0.0f, 1e-4f) << k;
    } else {
      EXPECT_EQ(m.verts[k], before.verts[k]) << k;
    }
    EXPECT_EQ(m.tVerts[k].z, row >= 13 ? 0.55f : 0.0f) << k;
  }
  EXPECT_NEAR(cut.z, 2.0f * 3.85f, 1e-4f);
}

TEST(Mowing, RepeatedPassesKeepLoweringTheTop) {
  Mesh m = StraightBlade(kW, P(0, 0, 0));
  const float expected[] = {3.85f, 3.745f, 3.6715f};
  for (float height : expected) {
    EXPECT_EQ(MowMesh(m, Circle(P(0, 0, 0), 1.0f, 0.55f)), 1);
    EXPECT_NEAR(m.verts[kTip].z, height, 1e-5f);
    EXPECT_NEAR(m.verts[BladeVertex(kW, 8, 2)].z, height, 1e-5f);
  }
}

struct RegionCase {
  const char* name;
  MowPass pass;
  Point3 root;
  bool cut;
};

TEST(Mowing, RegionBorders) {
  // Two-column blades: the root row is (root.x, root.y) and (root.x + 0.25, root.y), placed so that
  // the one root under test decides and the other lies clearly outside.
  const RegionCase cases[] = {
      {"rectangle: root on the left border is outside", Rect(P(2, 0, 0), 4, 4, 0.5f), P(-0.25f, 0, 0), false},
      {"rectangle: just inside the left border", Rect(P(2, 0, 0), 4, 4, 0.5f), P(-0.249f, 0, 0), true},
      {"rectangle: root on the right border is outside", Rect(P(0, 0, 0), 4, 4, 0.5f), P(2, 0, 0), false},
      {"rectangle: just inside the right border", Rect(P(0, 0, 0), 4, 4, 0.5f), P(1.999f, 0, 0), true},
      {"rectangle: root on the top border is outside", Rect(P(0, 0, 0), 4, 4, 0.5f), P(0, 2, 0), false},
      {"rectangle: root on the bottom border is outside", Rect(P(0, 0, 0), 4, 4, 0.5f), P(0, -2, 0), false},
      {"rectangle: z plays no part", Rect(P(0, 0, 100), 4, 4, 0.5f), P(0, 0, -50), true},
      {"rectangle: zero width has no inside", Rect(P(0, 0, 0), 0, 4, 0.5f), P(0, 0, 0), false},
      {"rectangle: zero height has no inside", Rect(P(0, 0, 0), 4, 0, 0.5f), P(0, 0, 0), false},
      {"circle: root exactly on the rim is inside", Circle(P(0, 0, 0), 5, 0.5f), P(3, 4, 0), true},
      {"circle: root just beyond the rim", Circle(P(0, 0, 0), 5, 0.5f), P(3, 4.01f, 0), false},
      {"circle: radius 0 holds a root at the centre", Circle(P(1, 1, 0), 0, 0.5f), P(1, 1, 0), true},
      {"circle: radius 0 holds nothing else", Circle(P(0.9f, 1, 0), 0, 0.5f), P(1, 1, 0), false},
      // Raised by h = 3 above the roots, a circle of radius 5 cuts roots within sqrt(25 - 9) = 4.
      {"circle raised 3: root 4 away is on the rim", Circle(P(0, 0, 3), 5, 0.5f), P(0, 4, 0), true},
      {"circle raised 3: root 4.01 away is outside", Circle(P(0, 0, 3), 5, 0.5f), P(0, 4.01f, 0), false},
      {"circle raised above its radius cuts nothing", Circle(P(0, 0, 5.5f), 5, 0.5f), P(0, 0, 0), false},
  };
  for (const RegionCase& c : cases) {
    Mesh m = StraightBlade(0, c.root);
    const Mesh before = m;
    EXPECT_EQ(MowMesh(m, c.pass), c.cut ? 1 : 0) << c.name;
    EXPECT_EQ(m.verts != before.verts, c.cut) << c.name;
  }
}

TEST(Mowing, InverseSelectionCutsTheBladesOutside) {
  Mesh m;
  AppendBlade(m, StraightBlade(kW, P(0, 0, 0)));
  AppendBlade(m, StraightBlade(kW, P(10, 0, 0)));
  const int second = kTip + 1;
  MowPass pass = Rect(P(0, 0, 0), 4, 4, 0.5f);
  pass.invert = true;
  EXPECT_EQ(MowMesh(m, pass), 1);
  EXPECT_EQ(m.verts[kTip].z, 7.5f);
  EXPECT_NEAR(m.verts[second + kTip].z, 3.5f, 1e-5f);

  // A region with no inside cuts every blade when inverted.
  Mesh all;
  AppendBlade(all, StraightBlade(kW, P(0, 0, 0)));
  AppendBlade(all, StraightBlade(kW, P(10, 0, 0)));
  pass.width = 0;
  EXPECT_EQ(MowMesh(all, pass), 2);
}

TEST(Mowing, CutLengthAtTheEndsOfItsRange) {
  const Mesh before = StraightBlade(kW, P(0, 0, 0));

  // L = 1: nothing lies above the cut, but the top band and tip still get their mark.
  Mesh one = before;
  EXPECT_EQ(MowMesh(one, Circle(P(0, 0, 0), 1, 1.0f)), 1);
  EXPECT_EQ(one.verts, before.verts);
  for (int k = 0; k <= kTip; ++k) EXPECT_EQ(one.tVerts[k].z, Row(k) >= 13 ? 1.0f : 0.0f) << k;

  // L = 0: the whole blade collapses onto its root row.
  Mesh zero = before;
  EXPECT_EQ(MowMesh(zero, Circle(P(0, 0, 0), 1, 0.0f)), 1);
  for (int k = 0; k <= kTip; ++k) {
    EXPECT_EQ(zero.verts[k].z, 0.0f) << k;
    EXPECT_GE(zero.verts[k].x, 0.0f) << k;
    EXPECT_LE(zero.verts[k].x, 0.5f) << k;
  }
}

TEST(Mowing, PartlyCoveredRootRowIsCutFromTheFirstInsideRoot) {
  // Only column 2 (x = 0.5) of the root row lies inside; the walk starts at face 2, so faces 0 and
  // 1 are never clipped and vertex (1, 0), which only face 1 would move, keeps its place.
  const MowPass pass = Rect(P(0.5f, 0, 0), 0.2f, 1, 0.05f);
  Mesh partial = StraightBlade(kW, P(0, 0, 0));
  const Point3 v10 = partial.verts[BladeVertex(kW, 1, 0)];
  EXPECT_EQ(MowMesh(partial, pass), 1);
  EXPECT_EQ(partial.verts[BladeVertex(kW, 1, 0)], v10);
  // Everything above row 1 collapses onto that unmoved vertex, face by face up the blade.
  EXPECT_EQ(partial.verts[kTip], v10);

  // Covering the whole root row triggers at face 0, and face 1 then moves that vertex.
  Mesh whole = StraightBlade(kW, P(0, 0, 0));
  EXPECT_EQ(MowMesh(whole, Rect(P(0.25f, 0, 0), 1, 1, 0.05f)), 1);
  EXPECT_NE(whole.verts[BladeVertex(kW, 1, 0)], v10);
}

TEST(Mowing, WalkStopsAtTheNextBladeAndAtTheEndOfTheMesh) {
  // Three blades side by side, only the middle one inside: the walk must not run into the third.
  Mesh m;
  for (float x : {0.0f, 2.0f, 4.0f}) AppendBlade(m, StraightBlade(kW, P(x, 0, 0)));
  const Mesh before = m;
  EXPECT_EQ(MowMesh(m, Rect(P(2.25f, 0, 0), 1, 1, 0.5f)), 1);
  const int n = kTip + 1;
  for (int k = 0; k < n; ++k) {
    EXPECT_EQ(m.verts[k], before.verts[k]);
    EXPECT_EQ(m.verts[2 * n + k], before.verts[2 * n + k]);
    EXPECT_EQ(m.tVerts[2 * n + k].z, 0.0f);
  }
  EXPECT_NE(m.verts[n + kTip], before.verts[n + kTip]);

  // A blade missing its top faces ends the walk at the end of the face list.
  Mesh cutShort = StraightBlade(kW, P(0, 0, 0));
  cutShort.faces.resize(10);
  cutShort.tvFace.resize(10);
  EXPECT_EQ(MowMesh(cutShort, Circle(P(0, 0, 0), 1, 0.01f)), 1);
}

TEST(Mowing, MarkedRootsStillTrigger) {
  // Roots keep w = 0 after a cut, so a second pass cuts the same blade again; a vertex with v = 0
  // but a non-zero mark is no root.
  Mesh m = StraightBlade(kW, P(0, 0, 0));
  for (int j = 0; j < kW + 2; ++j) m.tVerts[j].z = 0.25f;
  const Mesh before = m;
  EXPECT_EQ(MowMesh(m, Circle(P(0, 0, 0), 1, 0.5f)), 0);
  EXPECT_EQ(m.verts, before.verts);
}

TEST(Mowing, CheckRefusesMeshesTheWalkWouldReadPast) {
  const Mesh blade = StraightBlade(kW, P(0, 0, 0));
  EXPECT_EQ(CheckMowable(blade), MowCheck::kMowable);
  EXPECT_EQ(CheckMowable(Mesh()), MowCheck::kMowable);

  Mesh fewTVerts = blade;
  fewTVerts.tVerts.pop_back();
  EXPECT_EQ(CheckMowable(fewTVerts), MowCheck::kTooFewTextureVertices);

  Mesh noTVerts = blade;
  noTVerts.tVerts.clear();
  EXPECT_EQ(CheckMowable(noTVerts), MowCheck::kTooFewTextureVertices);

  Mesh badIndex = blade;
  badIndex.faces[40].v[2] = static_cast<DWORD>(badIndex.verts.size());
  EXPECT_EQ(CheckMowable(badIndex), MowCheck::kFaceIndexOutOfRange);

  Mesh huge = blade;
  huge.faces.back().v[0] = 0xFFFFFFFFu;
  EXPECT_EQ(CheckMowable(huge), MowCheck::kFaceIndexOutOfRange);

  // More texture vertices than vertices is fine: texture vertex k still belongs to vertex k.
  Mesh extra = blade;
  extra.tVerts.push_back(P(0, 0, 0));
  EXPECT_EQ(CheckMowable(extra), MowCheck::kMowable);
}

}  // namespace
