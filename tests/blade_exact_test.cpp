// Blade generator: the fast builder gives, bit for bit, the blade of the plain step-by-step build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "blade/blade_mesh.h"

namespace {

// The blade built literally step by step: every row rotation, sine, point transform and the
// final orientation pass in the order the generator documents. Callers' saved lawns depend on
// these exact bits, so any speed-up has to reproduce them.
Mesh StepByStepBlade(const BladeParams& p) {
  const int w = p.weldings > 0 ? p.weldings : 0;
  const int cols = w + 2;
  Mesh m;
  m.setNumVerts(15 * w + 31, FALSE, TRUE);
  m.setNumTVerts(15 * w + 31, FALSE);
  m.setNumFaces(29 * (w + 1), FALSE, TRUE);
  m.setNumTVFaces(29 * (w + 1), FALSE, 0);
  Matrix3 bend, orient;
  bend.IdentityMatrix();
  orient.IdentityMatrix();
  orient.RotateZ(p.rotationZ);
  orient.RotateX(p.rotationX);
  for (int i = 0; i < 15; ++i) {
    float a = (0.05f * i) * (0.05f * i) * p.gravity - p.stiffness;
    if (a < 0.0f) a = 0.0f;
    if (p.maxLength > 0.0f && p.size * 0.5f * i > p.maxLength)
      a = a * (1.0f + 0.05f * (p.size * 0.5f * i - p.maxLength));
    bend.RotateX(a);
    float x0 = -0.375f;
    if (i == 0) x0 = -0.25f;
    if (i == 1) x0 = -0.25f - 0.0625f * i;
    if (i >= 8) {
      const float power = static_cast<float>(std::pow(static_cast<double>(i - 7), static_cast<double>(p.thinning)));
      x0 = 0.01875f * power - 0.375f;
    }
    const float width = std::fabs(2.0f * x0);
    for (int j = 0; j < cols; ++j) {
      const Point3 unbent(x0 + j * width / (w + 1), p.weldFactor * std::sin(j * 3.1415927f / (w + 1)), 0.5f * i);
      m.verts[i * cols + j] = bend.PointTransform(unbent) * p.size;
      m.tVerts[i * cols + j] = Point3(static_cast<float>(j) / (w + 1), i / 14.0f, 0.0f);
    }
  }
  float a = 0.5625f * p.gravity - p.stiffness;
  if (a < 0.0f) a = 0.0f;
  bend.RotateX(a);
  m.verts[15 * cols] = bend.PointTransform(Point3(0.0f, 0.0f, 7.5f)) * p.size;
  m.tVerts[15 * cols] = Point3(0.5f, 1.0f, 0.0f);
  int f = 0;
  auto put = [&](int a0, int a1, int a2) {
    m.faces[f].setVerts(a0, a1, a2);
    m.faces[f].setSmGroup(1);
    m.faces[f].setEdgeVisFlags(1, 1, 0);
    m.tvFace[f++].setTVerts(a0, a1, a2);
  };
  for (int i = 0; i < 14; ++i)
    for (int k = 0; k <= w; ++k) {
      put(i * cols + k, i * cols + k + 1, (i + 1) * cols + k + 1);
      put((i + 1) * cols + k + 1, (i + 1) * cols + k, i * cols + k);
    }
  for (int k = 0; k <= w; ++k) put(14 * cols + k, 14 * cols + k + 1, 15 * cols);
  for (Point3& v : m.verts) v = orient.PointTransform(v);
  m.buildNormals();
  return m;
}

// Same length and the same bytes: a buffer of the caller's or a mesh's array.
template <class A, class B>
bool SameBits(const A& a, const B& b) {
  static_assert(sizeof(a[0]) == sizeof(b[0]));
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
}

void ExpectSameBlade(const BladeParams& p) {
  const Mesh fast = BuildBladeMesh(p);
  const Mesh plain = StepByStepBlade(p);
  EXPECT_TRUE(SameBits(fast.verts, plain.verts));
  EXPECT_TRUE(SameBits(fast.tVerts, plain.tVerts));
  EXPECT_TRUE(fast.faces == plain.faces);
  EXPECT_TRUE(fast.tvFace == plain.tvFace);
  EXPECT_TRUE(SameBits(fast.vertexNormals(), plain.vertexNormals()));

  // The entry points that write into the caller's arrays (no mesh, no normals) give the same bits,
  // with or without the texture vertices.
  const auto nv = static_cast<std::size_t>(BladeVertexCount(p.weldings));
  const auto nf = static_cast<std::size_t>(BladeFaceCount(p.weldings));
  std::vector<Point3> verts(nv), tVerts(nv), bare(nv);
  std::vector<Face> faces(nf);
  std::vector<TVFace> tvFaces(nf);
  ASSERT_TRUE(WriteBladeVertices(p, verts.data(), tVerts.data()));
  ASSERT_TRUE(WriteBladeVertices(p, bare.data(), nullptr));
  WriteBladeFaces(p.weldings, faces.data(), tvFaces.data());
  EXPECT_TRUE(SameBits(verts, fast.verts));
  EXPECT_TRUE(SameBits(bare, fast.verts));
  EXPECT_TRUE(SameBits(tVerts, fast.tVerts));
  EXPECT_TRUE(std::equal(faces.begin(), faces.end(), fast.faces.begin(), fast.faces.end()));
  EXPECT_TRUE(std::equal(tvFaces.begin(), tvFaces.end(), fast.tvFace.begin(), fast.tvFace.end()));
}

TEST(BladeExact, ChosenBladesMatchTheStepByStepBuild) {
  const BladeParams cases[] = {
      {1.0f, 0.0f, 0.0f, 0, 0.0f, 1.25f, 0.0f, 0.0f, 0.0f},
      {1.0f, 0.0f, 1.0f, 2, 0.3f, 1.65f, 0.0f, 0.0f, 0.0f},
      {2.0f, 0.5f, 1.0f, 10, -0.2f, 0.5f, 3.0f, -1.2f, 3.0f},
      {-1.5f, -0.3f, -2.0f, 3, 1.0f, 1.0f, 1.5707964f, 1.5707964f, 0.5f},
      {0.0f, 0.1f, 0.6f, 2, 0.4f, 1.2f, 0.3f, 0.2f, 1.0f},
      {40.0f, 0.01f, 0.3f, 70, 0.1f, 1.4f, -7.0f, 12.0f, 100.0f},
  };
  for (const BladeParams& p : cases) {
    SCOPED_TRACE(p.weldings);
    ExpectSameBlade(p);
  }
}

TEST(BladeExact, VariedBladesMatchTheStepByStepBuild) {
  // A fixed linear congruential walk over the ranges the grass objects pass.
  unsigned state = 12345;
  auto next = [&state](float lo, float hi) {
    state = state * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
  };
  for (int n = 0; n < 300; ++n) {
    const BladeParams p{next(0.0f, 5.0f),  next(0.0f, 0.6f),  next(0.0f, 2.0f),  n % 6,
                        next(-1.0f, 1.0f), next(0.5f, 1.65f), next(-6.3f, 6.3f), next(-1.6f, 1.6f),
                        next(-2.0f, 20.0f)};
    SCOPED_TRACE(n);
    ExpectSameBlade(p);
  }
}

}  // namespace
