// Tuft blades: which random value drives which input, and how far each range reaches.
#include <gtest/gtest.h>

#include "blade/tuft_mesh.h"

namespace {

TEST(Tuft, EachRandomValueDrivesItsOwnInputAcrossItsRange) {
  TuftRanges t;
  t.size = 2.0f;
  t.sizeVariance = 0.5f;
  t.stiffnessMin = 0.1f;
  t.stiffnessMax = 0.3f;
  t.gravityMin = 0.2f;
  t.gravityMax = 0.6f;
  t.weldFactorMin = -1.0f;
  t.weldFactorMax = 1.0f;
  t.weldingsMin = 1;
  t.weldingsMax = 4;
  t.rotationXMin = 0.25f;
  t.rotationXMax = 0.75f;
  t.maxLength = 3.0f;
  const float low[7] = {0, 0, 0, 0, 0, 0, 0}, high[7] = {1, 1, 1, 1, 1, 1, 1};
  const BladeParams a = TuftBladeParams(t, low), b = TuftBladeParams(t, high);
  EXPECT_EQ(a.size, 2.0f);
  EXPECT_EQ(b.size, 1.5f);
  EXPECT_EQ(a.stiffness, 0.1f);
  EXPECT_FLOAT_EQ(b.stiffness, 0.3f);
  EXPECT_EQ(a.gravity, 0.2f);
  EXPECT_FLOAT_EQ(b.gravity, 0.6f);
  EXPECT_EQ(a.weldFactor, -1.0f);
  EXPECT_EQ(b.weldFactor, 1.0f);
  EXPECT_EQ(a.weldings, 1);
  EXPECT_EQ(b.weldings, 4);  // the maximum only when its value is exactly 1
  EXPECT_EQ(a.rotationX, 0.25f);
  EXPECT_EQ(b.rotationX, 0.75f);
  EXPECT_EQ(a.rotationZ, 0.0f);
  EXPECT_FLOAT_EQ(b.rotationZ, 6.2831855f);
  EXPECT_EQ(a.thinning, 1.25f);
  EXPECT_EQ(b.maxLength, 3.0f);
  // One value at a time: r2 only shortens, r6 only adds weldings.
  const float r2[7] = {0, 0, 1, 0, 0, 0, 0}, r6[7] = {0, 0, 0, 0, 0, 0, 0.99f};
  EXPECT_EQ(TuftBladeParams(t, r2).size, 1.5f);
  EXPECT_EQ(TuftBladeParams(t, r2).gravity, 0.2f);
  EXPECT_EQ(TuftBladeParams(t, r6).weldings, 3);
}

TEST(Tuft, BladesAreJoinedInOrderAndNeverReadPastTheValuesGiven) {
  TuftRanges t;
  t.weldingsMin = 0;
  t.weldingsMax = 3;
  float q[21];
  for (int k = 0; k < 21; ++k) q[k] = static_cast<float>(k % 7) / 6.0f;
  const Mesh m = BuildTuftMesh(t, q, 21, 5);  // asks for 5 blades, holds values for 3
  const Mesh one = BuildBladeMesh(TuftBladeParams(t, q));
  ASSERT_EQ(m.getNumVerts(), 3 * one.getNumVerts());
  ASSERT_EQ(m.getNumFaces(), 3 * one.getNumFaces());
  const int V = one.getNumVerts(), F = one.getNumFaces();
  for (int b = 0; b < 3; ++b) {
    for (int k = 0; k < V; ++k) ASSERT_EQ(m.verts[b * V + k], one.verts[k]);
    for (int k = 0; k < F; ++k) {
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(m.faces[b * F + k].v[c], one.faces[k].v[c] + static_cast<DWORD>(b * V));
        ASSERT_EQ(m.tvFace[b * F + k].t[c], m.faces[b * F + k].v[c]);
      }
      ASSERT_EQ(m.faces[b * F + k].flags, one.faces[k].flags);
      ASSERT_EQ(m.faces[b * F + k].smGroup, 1u);
    }
  }
  EXPECT_EQ(BuildTuftMesh(t, q, 21, 0).getNumVerts(), 0);
}

}  // namespace
