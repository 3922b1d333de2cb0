// Blade generator: the values and shapes a blade is known to have.
#include "blade/blade_mesh.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

constexpr float kTol = 1e-4f;

// The single-blade object's defaults: size 1, thinning 1.25, everything else 0.
BladeParams Defaults() { return BladeParams{1.0f, 0.0f, 0.0f, 0, 0.0f, 1.25f, 0.0f, 0.0f, 0.0f}; }

int Cols(const BladeParams& p) { return std::max(p.weldings, 0) + 2; }
const Point3& At(const Mesh& m, const BladeParams& p, int row, int col) { return m.verts[row * Cols(p) + col]; }
const Point3& Tip(const Mesh& m) { return m.verts.back(); }

void ExpectNear(const Point3& got, const Point3& want, float tol = kTol) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

// Angle about +X by which a point at (x, 0, d) was turned: the bend leans the blade towards -Y.
float BendAngle(const Point3& p) { return std::atan2(-p.y, p.z); }
float Distance(const Point3& p) { return std::hypot(p.y, p.z); }

TEST(BladeMesh, DefaultBladeHasItsStatedVerticesAndFaces) {
  const Mesh m = BuildBladeMesh(Defaults());
  ASSERT_EQ(m.getNumVerts(), 31);
  ASSERT_EQ(m.getNumFaces(), 29);
  ExpectNear(m.verts[0], {-0.25f, 0.0f, 0.0f});
  ExpectNear(m.verts[1], {0.25f, 0.0f, 0.0f});
  ExpectNear(m.verts[28], {-0.16151f, 0.0f, 7.0f}, 1e-5f);
  ExpectNear(m.verts[29], {0.16151f, 0.0f, 7.0f}, 1e-5f);
  ExpectNear(m.verts[30], {0.0f, 0.0f, 7.5f});
  EXPECT_EQ(m.tVerts[29], Point3(1.0f, 1.0f, 0.0f));
  EXPECT_EQ(m.tVerts[30], Point3(0.5f, 1.0f, 0.0f));
  const DWORD want[3][3] = {{0, 1, 3}, {3, 2, 0}, {28, 29, 30}};
  const int faceIds[3] = {0, 1, 28};
  for (int k = 0; k < 3; ++k)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m.faces[faceIds[k]].v[c], want[k][c]) << "face " << faceIds[k];
}

struct CountCase {
  int weldings, verts, faces;
};

TEST(BladeMesh, CountsTopologyAndTextureFollowTheWeldings) {
  // A negative count cannot come from the panel; it builds like 0.
  for (const CountCase c : {CountCase{0, 31, 29}, {2, 61, 87}, {10, 181, 319}, {-3, 31, 29}}) {
    SCOPED_TRACE(c.weldings);
    BladeParams p = Defaults();
    p.weldings = c.weldings;
    p.gravity = 0.7f;
    p.weldFactor = 0.2f;
    const Mesh m = BuildBladeMesh(p);
    ASSERT_EQ(m.getNumVerts(), c.verts);
    ASSERT_EQ(m.getNumTVerts(), c.verts);
    ASSERT_EQ(m.getNumFaces(), c.faces);
    ASSERT_EQ(m.getNumTVFaces(), c.faces);
    const int cols = Cols(p);
    for (int f = 0; f < c.faces; ++f) {
      const Face& face = m.faces[f];
      for (int k = 0; k < 3; ++k) {
        ASSERT_LT(face.v[k], static_cast<DWORD>(c.verts));
        ASSERT_EQ(m.tvFace[f].t[k], face.v[k]);
      }
      EXPECT_EQ(face.smGroup, 1u);
      EXPECT_TRUE(face.getEdgeVis(0) && face.getEdgeVis(1) && !face.getEdgeVis(2));
      EXPECT_EQ(face.flags, EDGE_A | EDGE_B);
    }
    // The tip triangles come last and all end on the tip, in order across the top row.
    for (int k = 0; k < cols - 1; ++k) {
      const Face& face = m.faces[c.faces - (cols - 1) + k];
      EXPECT_EQ(face.v[0], static_cast<DWORD>(14 * cols + k));
      EXPECT_EQ(face.v[2], static_cast<DWORD>(c.verts - 1));
    }
    // Texture: u across the width, v from the root row to row 14, w 0; the tip at (0.5, 1, 0).
    for (int i = 0; i < 15; ++i)
      for (int j = 0; j < cols; ++j) {
        const Point3& t = m.tVerts[i * cols + j];
        EXPECT_NEAR(t.x, static_cast<float>(j) / static_cast<float>(cols - 1), 1e-6f);
        EXPECT_NEAR(t.y, static_cast<float>(i) / 14.0f, 1e-6f);
        EXPECT_EQ(t.z, 0.0f);
      }
    EXPECT_EQ(m.tVerts.back(), Point3(0.5f, 1.0f, 0.0f));
  }
}

TEST(BladeMesh, UnbentBladeWindsEveryFaceTheSameWay) {
  for (int welds : {0, 2, 10}) {
    BladeParams p = Defaults();
    p.weldings = welds;
    const Mesh m = BuildBladeMesh(p);
    for (int f = 0; f < m.getNumFaces(); ++f) ExpectNear(m.getFaceNormal(f), {0.0f, -1.0f, 0.0f});
  }
}

TEST(BladeMesh, ArchLiftsOnlyInteriorColumns) {
  for (float weldFactor : {0.0f, 0.3f, -2.0f}) {
    BladeParams p = Defaults();
    p.weldFactor = weldFactor;
    // The far edge sits at sin(pi) in single precision, a few 1e-8 off the plane.
    for (const Point3& v : BuildBladeMesh(p).verts) EXPECT_NEAR(v.y, 0.0f, 1e-6f) << "weldings 0 stays flat";
    p.weldings = 2;
    const Mesh m = BuildBladeMesh(p);
    for (int i = 0; i < 15; ++i) {
      EXPECT_EQ(At(m, p, i, 0).y, 0.0f);
      EXPECT_NEAR(At(m, p, i, 1).y, weldFactor * std::sin(3.1415927f / 3.0f), 1e-5f);
      EXPECT_NEAR(At(m, p, i, 2).y, weldFactor * std::sin(2.0f * 3.1415927f / 3.0f), 1e-5f);
      EXPECT_NEAR(At(m, p, i, 3).y, 0.0f, 1e-6f);
    }
  }
}

TEST(BladeMesh, GravityTurnsRowsByTheCumulativeIncrements) {
  for (float size : {1.0f, 2.5f}) {
    BladeParams p = Defaults();
    p.gravity = 1.0f;
    p.size = size;
    const Mesh m = BuildBladeMesh(p);
    for (int i = 1; i < 15; ++i) {
      const float angle = 0.0025f * static_cast<float>(i * (i + 1) * (2 * i + 1)) / 6.0f;
      for (int j = 0; j < 2; ++j) {
        EXPECT_NEAR(Distance(At(m, p, i, j)), 0.5f * i * size, kTol * size) << "row " << i;
        EXPECT_NEAR(BendAngle(At(m, p, i, j)), angle, kTol) << "row " << i;
      }
    }
    EXPECT_NEAR(BendAngle(At(m, p, 14, 0)), 2.5375f, kTol);
    EXPECT_NEAR(Distance(Tip(m)), 7.5f * size, kTol * size);
    EXPECT_NEAR(BendAngle(Tip(m)), 3.1f, kTol);
  }
}

struct StiffCase {
  float gravity, stiffness, tipAngle;
};

TEST(BladeMesh, StiffnessKeepsRowsStraightUpToItsThreshold) {
  // At 0.5625 * gravity nothing bends; from 0.49 * gravity only the tip leans.
  for (const StiffCase c : {StiffCase{1.0f, 0.5625f, 0.0f},
                            {1.0f, 2.0f, 0.0f},
                            {2.0f, 1.125f, 0.0f},
                            {1.0f, 0.5f, 0.0625f},
                            {1.0f, 0.49f, 0.0725f},
                            {2.0f, 1.0f, 0.125f}}) {
    SCOPED_TRACE(c.stiffness);
    BladeParams p = Defaults();
    p.gravity = c.gravity;
    p.stiffness = c.stiffness;
    const Mesh m = BuildBladeMesh(p);
    for (int i = 0; i < 15; ++i) EXPECT_NEAR(BendAngle(At(m, p, i, 1)), 0.0f, 1e-5f);
    EXPECT_NEAR(BendAngle(Tip(m)), c.tipAngle, 1e-5f);
  }
}

TEST(BladeMesh, RootRowNeverBends) {
  for (float gravity : {0.0f, 0.5f, 3.0f})
    for (float stiffness : {0.0f, 0.1f}) {
      BladeParams p = Defaults();
      p.weldings = 2;
      p.weldFactor = 0.4f;
      p.gravity = gravity;
      p.stiffness = stiffness;
      p.maxLength = 0.1f;
      const Mesh m = BuildBladeMesh(p);
      for (int j = 0; j < 4; ++j) EXPECT_EQ(At(m, p, 0, j).z, 0.0f);
      EXPECT_EQ(At(m, p, 0, 0), Point3(-0.25f, 0.0f, 0.0f));
    }
}

TEST(BladeMesh, MaxLengthBoostsOnlyRowsBeyondIt) {
  BladeParams p = Defaults();
  p.gravity = 0.5f;
  p.size = 2.0f;
  const Mesh plain = BuildBladeMesh(p);
  for (float maxLength : {0.0f, -1.0f, 14.0f, 20.0f}) {
    p.maxLength = maxLength;
    EXPECT_TRUE(BuildBladeMesh(p) == plain) << "maxLength " << maxLength;
  }
  // Rows up to 3 units from the root (row 3 at size 2) are untouched; row 4 lies 1 unit beyond
  // and bends 5 % harder; the tip keeps its plain increment.
  p.maxLength = 3.0f;
  const Mesh boosted = BuildBladeMesh(p);
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(At(boosted, p, i, 0), At(plain, p, i, 0)) << "row " << i;
  const float row3 = BendAngle(At(plain, p, 3, 0));
  EXPECT_NEAR(BendAngle(At(boosted, p, 4, 0)) - row3, 0.5f * 0.04f * 1.05f, 1e-5f);
  EXPECT_NEAR(BendAngle(Tip(boosted)) - BendAngle(At(boosted, p, 14, 0)), 0.5f * 0.5625f, 1e-4f);
  EXPECT_GT(BendAngle(At(boosted, p, 14, 0)), BendAngle(At(plain, p, 14, 0)) + 0.1f);
}

TEST(BladeMesh, StrongThinningMovesTheTopRowToPositiveX) {
  BladeParams p = Defaults();
  p.thinning = 1.65f;
  for (int welds : {0, 2}) {
    p.weldings = welds;
    const Mesh m = BuildBladeMesh(p);
    const float x0 = At(m, p, 14, 0).x;
    EXPECT_NEAR(x0, 0.09f, 1e-3f);
    EXPECT_NEAR(At(m, p, 14, Cols(p) - 1).x, 3.0f * x0, 1e-5f);
    EXPECT_EQ(Tip(m).x, 0.0f);
  }
}

TEST(BladeMesh, SizeZeroCollapsesToTheOrigin) {
  BladeParams p = Defaults();
  p.size = 0.0f;
  p.weldings = 2;
  p.gravity = 1.0f;
  p.weldFactor = 0.5f;
  p.rotationZ = 0.7f;
  const Mesh m = BuildBladeMesh(p);
  ASSERT_EQ(m.getNumVerts(), 61);
  ASSERT_EQ(m.getNumFaces(), 87);
  for (const Point3& v : m.verts) EXPECT_EQ(v, Point3(0.0f, 0.0f, 0.0f));
}

TEST(BladeMesh, OrientationTurnsAboutZThenX) {
  BladeParams p = Defaults();
  p.rotationZ = 1.5707964f;
  p.rotationX = 1.5707964f;
  const Mesh m = BuildBladeMesh(p);
  // (0.25, 0, 0) goes to +Y about Z, then to +Z about X; the tip (0, 0, 7.5) goes to -Y.
  ExpectNear(m.verts[1], {0.0f, 0.0f, 0.25f});
  ExpectNear(Tip(m), {0.0f, -7.5f, 0.0f});
  EXPECT_TRUE(BuildBladeMesh(Defaults()).tVerts == m.tVerts);
}

TEST(BladeMesh, NormalsAreBuiltAndUnitLength) {
  BladeParams p{1.3f, 0.05f, 0.8f, 2, 0.25f, 1.4f, 0.6f, -0.3f, 4.0f};
  const Mesh m = BuildBladeMesh(p);
  ASSERT_TRUE(m.normalsValid());
  ASSERT_EQ(m.faceNormals().size(), m.faces.size());
  ASSERT_EQ(m.vertexNormals().size(), m.verts.size());
  for (const Point3& n : m.faceNormals()) EXPECT_NEAR(n.Length(), 1.0f, 1e-5f);
  for (const Point3& n : m.vertexNormals()) EXPECT_NEAR(n.Length(), 1.0f, 1e-5f);
}

TEST(BladeMesh, CountsBeyondTheHostsRangeGiveAnEmptyMesh) {
  BladeParams p = Defaults();
  for (int welds : {INT_MAX, INT_MAX / 15, 74051160}) {
    p.weldings = welds;
    const Mesh m = BuildBladeMesh(p);
    EXPECT_EQ(m.getNumVerts() + m.getNumTVerts() + m.getNumFaces() + m.getNumTVFaces(), 0) << welds;
  }
}

}  // namespace
