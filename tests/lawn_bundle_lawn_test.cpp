// The lawn of tufts: the fast builder against tufts made one by one with AppendBundle and copied,
// on one thread and several; the stated counts; what the height map and the blade count do.
#include "lawn/lawn.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "lawn/bundle_lawn.h"
#include "sdk/log.h"
#include "tests/lawn_copied_tufts.h"
#include "tests/lawn_test_util.h"

namespace {
constexpr int kBladeVerts = 61, kBladeFaces = 87;

using lawn_test::BitmapPtr;
using lawn_test::Rendered;

BitmapPtr Gradient(GradientTex::Direction direction, int size) {
  GradientTex g;
  g.direction = direction;
  return Rendered(g, size);
}

bool Same(const Mesh& a, const Mesh& b) {
  const auto bits = [](const auto& x, const auto& y) {
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(x[0])) == 0;
  };
  return bits(a.verts, b.verts) && bits(a.tVerts, b.tVerts) && a.faces == b.faces && a.tvFace == b.tvFace;
}

// Root of blade b: the midpoint of its root row's two edge vertices.
Point3 Root(const Mesh& m, int b) { return (m.verts[b * kBladeVerts] + m.verts[b * kBladeVerts + 3]) * 0.5f; }

// Whether blades a and b grow from one root (up to the rounding of the row's arch).
bool SameRoot(const Mesh& m, int a, int b) { return Length(Root(m, a) - Root(m, b)) < 1e-5f; }

TEST(BundleLawn, TuftsWrittenInPlaceMatchCopiedTuftsOnAnyNumberOfThreads) {
  GPUVectorField2D field;
  field.resolutionX = field.resolutionY = 3;
  field.resolutionZ = 1;
  for (int k = 0; k < 27; ++k) field.vectors.push_back(static_cast<float>(k % 7) * 0.15f - 0.45f);
  NoiseTex noiseTex;
  const BitmapPtr noise = Rendered(noiseTex, 32);
  const BitmapPtr slope = Gradient(GradientTex::kAlongV, 16);
  ConstantTex black;
  black.color = {0.0f, 0.0f, 0.0f, 1.0f};
  const BitmapPtr none = Rendered(black, 4);

  struct Case {
    const char* name;
    BundleLawnSettings s;
  };
  std::vector<Case> cases(6);
  cases[0].name = "defaults";
  cases[1].name = "fractional grid, 5.9 blades varying, wide ranges, no length limit";
  BundleLawnSettings& wide = cases[1].s;
  wide.nx = 13.5f;
  wide.ny = 9.25f;
  wide.length = 7.0f;
  wide.width = -3.0f;
  wide.jitterX = 0.9f;
  wide.bundleLength = 2.0f;
  wide.lengthVar = 1.5f;
  wide.maxLength = 0.0f;
  wide.gravity = 0.7f;
  wide.gravityVar = 1.5f;
  wide.blades = 5.9f;
  wide.bladesVar = 1.0f;
  cases[2].name = "height and probability maps: a dropped tuft shifts the draws after it";
  cases[2].s = wide;
  cases[2].s.heightMap = noise.get();
  cases[2].s.magnitude = 2.5f;
  cases[2].s.probabilityMap = slope.get();
  cases[3].name = "vector field over a sloping height map";
  cases[3].s.nx = 11.0f;
  cases[3].s.heightMap = slope.get();
  cases[3].s.field = &field;
  cases[4].name = "everything dropped by a black map";
  cases[4].s = cases[2].s;
  cases[4].s.probabilityMap = none.get();
  cases[5].name = "no cells";
  cases[5].s.nx = 0.5f;

  for (Case& c : cases) {
    const Mesh expected = lawn_test::CopiedTuftLawn(c.s);
    for (int threads : {1, 2, 7}) {
      c.s.threads = threads;
      EXPECT_TRUE(Same(BuildBundleLawnMesh(c.s), expected)) << c.name << ", threads " << threads;
    }
  }
  EXPECT_EQ(lawn_test::CopiedTuftLawn(cases[4].s).getNumFaces(), 0);
  EXPECT_GT(lawn_test::CopiedTuftLawn(cases[2].s).getNumFaces(), 0);
}

TEST(BundleLawn, DefaultLawnHoldsTwelveHundredBladesAndRebuildsIdentically) {
  std::unique_ptr<Lawn, void (*)(Lawn*)> lawn(new Lawn(), [](Lawn* l) { l->DeleteMe(); });
  lawn->paramBlock->SetValue(lawn_build_type, 0, 1);
  lawn->Eval(0);
  const Mesh first = lawn->mesh;
  EXPECT_EQ(first.getNumVerts(), 73200);
  EXPECT_EQ(first.getNumTVerts(), 73200);
  EXPECT_EQ(first.getNumFaces(), 104400);
  EXPECT_EQ(first.getNumTVFaces(), 104400);
  // Three blades a tuft: each tuft's blades share their root.
  for (int b = 0; b < 1200; b += 3) {
    EXPECT_TRUE(SameRoot(first, b, b + 1) && SameRoot(first, b, b + 2)) << b;
    EXPECT_TRUE(b == 0 || !SameRoot(first, b, b - 1)) << b;
  }
  lawn->meshBuilt = FALSE;
  lawn->Eval(0);
  EXPECT_TRUE(lawn->mesh == first);
}

TEST(BundleLawn, VariedTuftsHoldOneToAllBladesAndTheTailStaysAtTheOrigin) {
  BundleLawnSettings s;
  s.blades = 5.9f;
  s.bladesVar = 1.0f;
  s.jitterX = s.jitterY = 0.0f;
  const Mesh m = BuildBundleLawnMesh(s);
  ASSERT_EQ(m.getNumVerts(), 5 * kBladeVerts * 400);  // sized for five blades in every cell
  const int blades = m.getNumFaces() / kBladeFaces;
  int smallest = 99, largest = 0, tufts = 0;
  for (int b = 0; b < blades;) {
    int n = 1;
    while (b + n < blades && SameRoot(m, b, b + n)) ++n;
    smallest = std::min(smallest, n);
    largest = std::max(largest, n);
    ++tufts;
    b += n;
  }
  EXPECT_EQ(tufts, 400);
  EXPECT_EQ(smallest, 1);
  EXPECT_EQ(largest, 5);
  for (int v = blades * kBladeVerts; v < m.getNumVerts(); ++v) ASSERT_EQ(m.verts[v], Point3()) << v;
  for (const Face& f : m.faces) ASSERT_LT(f.v[0], static_cast<DWORD>(blades * kBladeVerts));
}

TEST(BundleLawn, BladeSizesStayWithinTheBundleLength) {
  BundleLawnSettings s;
  s.lengthVar = 0.5f;
  const Mesh m = BuildBundleLawnMesh(s);
  float smallest = 2.0f, largest = 0.0f;
  for (int b = 0; b < 1200; ++b) {
    // The root row is 0.5 wide before the blade is scaled, and no bend or turn changes that.
    const float size = 2.0f * Length(m.verts[b * kBladeVerts + 3] - m.verts[b * kBladeVerts]);
    smallest = std::min(smallest, size);
    largest = std::max(largest, size);
  }
  EXPECT_GE(smallest, 0.5f - 1e-5f);
  EXPECT_LE(largest, 1.0f + 1e-5f);
  EXPECT_LT(smallest, 0.55f);
  EXPECT_GT(largest, 0.95f);
}

TEST(BundleLawn, OnlyTheSlopeAlongTheRowsTiltsTufts) {
  // With magnitude 0 the map lifts nothing, so only its slope can change the lawn.
  BundleLawnSettings s;
  s.magnitude = 0.0f;
  const Mesh flat = BuildBundleLawnMesh(s);
  const BitmapPtr alongX = Gradient(GradientTex::kAlongU, 32);
  const BitmapPtr alongY = Gradient(GradientTex::kAlongV, 32);
  s.heightMap = alongX.get();
  EXPECT_TRUE(Same(BuildBundleLawnMesh(s), flat));
  s.heightMap = alongY.get();
  EXPECT_FALSE(Same(BuildBundleLawnMesh(s), flat));
}

TEST(BundleLawn, CountsBeyondWhatATuftHoldsOrTheMeshIndexesAreRefusedAloud) {
  BundleLawnSettings s;
  s.nx = s.ny = 4.0f;
  s.blades = 40.0f;  // more than 200 draws can shape: read as 28, said once
  TakeLogRecords();
  const Mesh clamped = BuildBundleLawnMesh(s);
  const std::vector<LogRecord> said = TakeLogRecords();
  EXPECT_EQ(clamped.getNumVerts(), 28 * kBladeVerts * 16);
  EXPECT_EQ(clamped.getNumFaces(), 28 * kBladeFaces * 16);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].level, LogLevel::kWarning);
  EXPECT_NE(said[0].message.find("\"Bundle #blades\" 40"), std::string::npos) << said[0].message;

  s.blades = 10.0f;
  s.nx = s.ny = 100000.0f;  // 10^10 tufts: more vertices than a mesh can index
  TakeLogRecords();
  const Mesh huge = BuildBundleLawnMesh(s);
  const std::vector<LogRecord> log = TakeLogRecords();  // the host shows it (gramora: exit 2)
  EXPECT_EQ(huge.getNumVerts(), 0);
  EXPECT_EQ(huge.getNumFaces(), 0);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].level, LogLevel::kError);
  EXPECT_NE(log[0].message.find("Lawn: cannot allocate"), std::string::npos) << log[0].message;
}

}  // namespace
