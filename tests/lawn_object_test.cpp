// The lawn object and its single-blade builder: counts, reproducibility, switches, maps, the
// vector field, the cache and validity rules, references, cloning and post-load.
#include <gtest/gtest.h>

#include "lawn/blade_lawn.h"
#include "lawn/lawn.h"
#include "lawn/vector_field.h"
#include "sdk/crt.h"
#include "sdk/log.h"
#include "sdk/memory.h"
#include "tests/lawn_test_util.h"
#include "tests/plugin_class_fixture.h"

namespace {
PluginClassFixture<Lawn> g_lawnClass(kLawnClassID, GEOMOBJECT_CLASS_ID, "Lawn", LawnBlockSpec);
}  // namespace

namespace {
using lawn_test::TempDir;
constexpr int kBladeVerts = 61, kBladeFaces = 87;

struct LawnDeleter {
  void operator()(Lawn* l) const { l->DeleteMe(); }
};
using LawnPtr = std::unique_ptr<Lawn, LawnDeleter>;
LawnPtr NewLawn() { return LawnPtr(new Lawn()); }

const Mesh& Evaluate(Lawn& lawn, TimeValue t = 0) {
  lawn.Eval(t);
  return lawn.mesh;
}

// Root of blade b: the midpoint of its two row-0 edge vertices (the row is symmetric about the root).
Point3 Root(const Mesh& m, int b) { return (m.verts[b * kBladeVerts] + m.verts[b * kBladeVerts + 3]) * 0.5f; }

ConstantTex* Grey(float level) {
  auto* t = new ConstantTex();
  t->color = {level, level, level, 1.0f};
  return t;
}

TEST(Lawn, DefaultsGiveFourHundredBladesAndRebuildIdentically) {
  LawnPtr lawn = NewLawn();
  const Mesh first = Evaluate(*lawn);
  EXPECT_EQ(first.getNumVerts(), 24400);
  EXPECT_EQ(first.getNumTVerts(), 24400);
  EXPECT_EQ(first.getNumFaces(), 34800);
  EXPECT_EQ(first.getNumTVFaces(), 34800);
  for (int f : {0, 87, 34799}) {
    EXPECT_EQ(first.faces[f].smGroup, 1u);
    EXPECT_EQ(first.faces[f].flags & EDGE_ALL, EDGE_A | EDGE_B);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(first.tvFace[f].t[k], first.faces[f].v[k]);
  }
  EXPECT_EQ(first.faces[87].v[0], first.faces[0].v[0] + kBladeVerts);
  lawn->meshBuilt = FALSE;
  EXPECT_TRUE(Evaluate(*lawn) == first);
  LawnPtr other = NewLawn();
  EXPECT_TRUE(Evaluate(*other) == first) << "the same parameters give the same lawn";
  EXPECT_EQ(lawn->paramBlock->NumParams(), 44);
}

TEST(Lawn, BlockIsDefinedInTheSavedOrder) {
  const ParamBlockDesc2* d = GetLawnBlockDesc();
  const int order[] = {0,  1,  2,  3,  6,  7,  4,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                       23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 5};
  ASSERT_EQ(d->Count(), 44);
  for (int k = 0; k < 44; ++k) EXPECT_EQ(d->IndextoID(k), order[k]) << k;
  EXPECT_STREQ(d->GetParamDef(lawn_prob_map_on)->int_name, "ProbailitymapEnabled");
  EXPECT_STREQ(d->GetParamDef(lawn_blade_max_length)->int_name, "Bundle maxlength");
  EXPECT_STREQ(d->GetParamDef(lawn_vector_field_file)->int_name, "vectormap name");
  EXPECT_EQ(d->GetRolloutByMapID(2)->dialog, 103);
  EXPECT_TRUE(d->GetRolloutByMapID(2)->rolled_up);
}

TEST(Lawn, FractionalCountsSizeTheArraysNotTheGrid) {
  LawnPtr lawn = NewLawn();
  lawn->paramBlock->SetValue(lawn_blades_x, 0, 20.5f);
  const Mesh& m = Evaluate(*lawn);
  EXPECT_EQ(m.getNumVerts(), 25010);  // trunc(61 * 20.5 * 20)
  EXPECT_EQ(m.getNumFaces(), 34800);  // 400 blades; the rest were dropped
  for (int v = 24400; v < 25010; ++v) ASSERT_EQ(m.verts[v], Point3()) << v;
  for (const Face& f : m.faces) ASSERT_LT(f.v[0], 24400u);
}

TEST(Lawn, JitterOffPutsRootsOnTheGridAndAngleOffKeepsBladesUnturned) {
  LawnPtr lawn = NewLawn();
  lawn->paramBlock->SetValue(lawn_jitter, 0, FALSE);
  lawn->paramBlock->SetValue(lawn_angle_var, 0, FALSE);
  lawn->paramBlock->SetValue(lawn_length, 0, 10.0f);
  lawn->paramBlock->SetValue(lawn_width, 0, 4.0f);
  const Mesh& m = Evaluate(*lawn);
  for (int i = 0; i < 20; ++i) {
    for (int j = 0; j < 20; ++j) {
      const int b = i * 20 + j;  // columns outer, rows inner
      const Point3 r = Root(m, b);
      EXPECT_NEAR(r.x, -5.0f + i * 0.5f, 1e-4);
      EXPECT_NEAR(r.y, -2.0f + j * 0.2f, 1e-4);
      EXPECT_NEAR(r.z, 0.0f, 1e-5);
      // No rotation: the root row still runs along +X.
      const Point3 edge = m.verts[b * kBladeVerts + 3] - m.verts[b * kBladeVerts];
      EXPECT_NEAR(edge.y, 0.0f, 1e-5);
      EXPECT_NEAR(edge.z, 0.0f, 1e-5);
    }
  }
  lawn->paramBlock->SetValue(lawn_angle_var, 0, TRUE);
  lawn->meshBuilt = FALSE;
  const Mesh& turned = Evaluate(*lawn);
  int unturned = 0;
  for (int b = 0; b < 400; ++b)
    unturned += std::abs((turned.verts[b * kBladeVerts + 3] - turned.verts[b * kBladeVerts]).y) < 1e-5f;
  EXPECT_LT(unturned, 10);
}

// Whether every blade of `part` appears, in order, among the blades of `whole`.
bool BladesAreASubsequence(const Mesh& part, int partBlades, const Mesh& whole, int wholeBlades) {
  int w = 0;
  for (int p = 0; p < partBlades; ++p) {
    while (w < wholeBlades &&
           !std::equal(part.verts.begin() + p * kBladeVerts, part.verts.begin() + (p + 1) * kBladeVerts,
                       whole.verts.begin() + w * kBladeVerts))
      ++w;
    if (w++ >= wholeBlades) return false;
  }
  return true;
}

TEST(Lawn, ProbabilityMapsDropBladesWithoutDisturbingTheOthers) {
  LawnPtr lawn = NewLawn();
  const Mesh all = Evaluate(*lawn);
  struct Case {
    float level;
    int lo, hi;
  };
  const Case cases[] = {{0.0f, 0, 0}, {0.5f, 150, 250}, {1.0f, 395, 400}};
  for (const Case& c : cases) {
    lawn->paramBlock->SetValue(lawn_prob_map, 0, Grey(c.level));
    EXPECT_EQ(lawn->paramBlock->GetInt(lawn_prob_map_on), TRUE);
    lawn->meshBuilt = FALSE;
    const Mesh& m = Evaluate(*lawn);
    const int blades = m.getNumFaces() / kBladeFaces;
    EXPECT_GE(blades, c.lo) << c.level;
    EXPECT_LE(blades, c.hi) << c.level;
    EXPECT_EQ(m.getNumVerts(), 24400);
    EXPECT_TRUE(BladesAreASubsequence(m, blades, all, 400)) << c.level;
  }
  lawn->paramBlock->SetValue(lawn_prob_map, 0, nullptr);
  EXPECT_EQ(lawn->paramBlock->GetInt(lawn_prob_map_on), FALSE);
  lawn->paramBlock->SetValue(lawn_prob_map_on, 0, TRUE);
  lawn->meshBuilt = FALSE;
  EXPECT_TRUE(Evaluate(*lawn) == all) << "switch on without a map: no effect";
}

TEST(Lawn, AWhiteProbabilityMapDropsExactlyTheKeepDrawsOf32766And32767) {
  // Seven draws per cell, then the keep draw; white gives threshold trunc(0.99999998 * 32767) = 32766.
  constexpr int kSide = 40;  // 1600 cells: one keep draw of the sequence from 322 reaches 32766
  crt::srand(322);
  std::vector<int> kept;
  for (int cell = 0; cell < kSide * kSide; ++cell) {
    for (int k = 0; k < 7; ++k) crt::rand();
    if (crt::rand() < 32766) kept.push_back(cell);
  }
  ASSERT_EQ(kept.size(), static_cast<std::size_t>(kSide * kSide - 1)) << "the sequence has one such draw here";
  LawnPtr lawn = NewLawn();
  lawn->paramBlock->SetValue(lawn_blades_x, 0, static_cast<float>(kSide));
  lawn->paramBlock->SetValue(lawn_blades_y, 0, static_cast<float>(kSide));
  const Mesh all = Evaluate(*lawn);
  lawn->paramBlock->SetValue(lawn_prob_map, 0, Grey(1.0f));
  lawn->meshBuilt = FALSE;
  const Mesh& m = Evaluate(*lawn);
  ASSERT_EQ(m.getNumFaces(), static_cast<int>(kept.size()) * kBladeFaces);
  for (std::size_t b = 0; b < kept.size(); ++b)
    ASSERT_TRUE(std::equal(m.verts.begin() + b * kBladeVerts, m.verts.begin() + (b + 1) * kBladeVerts,
                           all.verts.begin() + kept[b] * kBladeVerts))
        << "blade " << b << " is cell " << kept[b];
}

TEST(Lawn, KeyedSizeAndMagnitudeFollowTheFrameWhileKeyedCountsStayAtFrameZero) {
  const TimeValue t = 10 * GetTicksPerFrame();
  LawnPtr lawn = NewLawn();
  IParamBlock2* pb = lawn->paramBlock;
  pb->SetValue(lawn_jitter, 0, FALSE);
  pb->SetValue(lawn_angle_var, 0, FALSE);
  pb->SetValue(lawn_height_map, 0, Grey(0.5f));
  struct Key {
    ParamID id;
    float at0, atT;
  };
  for (const Key& k : {Key{lawn_blades_x, 4, 8}, Key{lawn_blades_y, 3, 6}, Key{lawn_length, 10, 20},
                       Key{lawn_width, 6, 12}, Key{lawn_height_magnitude, 1, 4}}) {
    ASSERT_TRUE(pb->SetKey(k.id, 0, k.at0));
    ASSERT_TRUE(pb->SetKey(k.id, t, k.atT));
  }
  const Mesh& m = Evaluate(*lawn, t);
  ASSERT_EQ(m.getNumFaces(), 4 * 3 * kBladeFaces) << "the counts are read at frame 0";
  const double height = 4.0 * 128.0 / 255.0;  // magnitude at t times the stored grey
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 3; ++j) {
      const Point3 r = Root(m, i * 3 + j);
      EXPECT_NEAR(r.x, -10.0f + i * 5.0f, 1e-4) << i << "," << j;  // Length 20 at t over 4 columns
      EXPECT_NEAR(r.y, -6.0f + j * 4.0f, 1e-4) << i << "," << j;   // Width 12 at t over 3 rows
      EXPECT_NEAR(r.z, height, 1e-5) << i << "," << j;
    }
  }
}

TEST(Lawn, HeightMapsLiftAndTiltBlades) {
  LawnPtr lawn = NewLawn();
  lawn->paramBlock->SetValue(lawn_angle_var, 0, FALSE);
  lawn->paramBlock->SetValue(lawn_height_map, 0, Grey(0.5f));
  lawn->paramBlock->SetValue(lawn_height_magnitude, 0, 10.0f);
  const Mesh& lifted = Evaluate(*lawn);
  for (int b = 0; b < 400; b += 37) {
    // The map renders into an 8-bit bitmap: grey 0.5 is stored as 128 / 255.
    EXPECT_NEAR(Root(lifted, b).z, 10.0f * 128.0f / 255.0f, 1e-5) << b;
    EXPECT_NEAR((lifted.verts[b * kBladeVerts + 3] - lifted.verts[b * kBladeVerts]).z, 0.0f, 1e-5)
        << "uniform: no tilt";
  }
  // A gradient along v with magnitude 0: roots stay at 0, blades still tilt about X.
  auto* gradient = new GradientTex();
  gradient->direction = GradientTex::kAlongV;
  lawn->paramBlock->SetValue(lawn_height_map, 0, gradient);
  lawn->paramBlock->SetValue(lawn_height_magnitude, 0, 0.0f);
  lawn->meshBuilt = FALSE;
  const Mesh tilted = Evaluate(*lawn);
  lawn->paramBlock->SetValue(lawn_height_map_on, 0, FALSE);
  lawn->meshBuilt = FALSE;
  const Mesh& flat = Evaluate(*lawn);
  EXPECT_NEAR(Root(tilted, 5).z, 0.0f, 1e-5);
  EXPECT_GT((tilted.verts[5 * kBladeVerts + 60] - flat.verts[5 * kBladeVerts + 60]).Length(), 0.01f) << "the tip leans";
}

TEST(Lawn, MapDimensionsReplaceTheGridCounts) {
  TempDir dir;
  std::vector<unsigned> grey(20 * 10, 128);
  ASSERT_TRUE(lawn_test::WritePng(dir / "h.png", 20, 10, 8, PNG_COLOR_TYPE_GRAY, grey));
  auto* tex = new BitmapTex();
  ASSERT_TRUE(tex->SetMapName((dir / "h.png").c_str()));
  LawnPtr lawn = NewLawn();
  lawn->paramBlock->SetValue(lawn_use_map_size, 0, TRUE);
  lawn->paramBlock->SetValue(lawn_height_map, 0, tex);
  EXPECT_EQ(Evaluate(*lawn).getNumFaces(), 200 * kBladeFaces);
  lawn->paramBlock->SetValue(lawn_height_map, 0, Grey(0.3f));
  lawn->meshBuilt = FALSE;
  EXPECT_EQ(Evaluate(*lawn).getNumFaces(), 64 * 64 * kBladeFaces) << "procedural maps render at 64 x 64";
}

TEST(Lawn, VectorFieldReplacesTheDrawnRotations) {
  TempDir dir;
  const std::vector<float> zeros(3 * 4, 0.0f);
  lawn_test::WriteBytes(dir / "z.raw", zeros.data(), zeros.size() * 4);
  lawn_test::WriteText(dir / "z.dat", "Resolution: 2 2 1\nFormat: FLOAT3\nObjectFileName: z.raw\n");
  LawnPtr lawn = NewLawn();
  const Mesh drawn = Evaluate(*lawn);
  lawn->paramBlock->SetValue(lawn_vector_field_on, 0, TRUE);
  GPUVectorField2D* field = GetOrCreateVectorField();
  field->Load(dir / "missing.dat");
  lawn->meshBuilt = FALSE;
  EXPECT_TRUE(Evaluate(*lawn) == drawn) << "a field without data bends nothing";
  ASSERT_TRUE(field->Load(dir / "z.dat"));
  lawn->meshBuilt = FALSE;
  const Mesh bent = Evaluate(*lawn);
  lawn->paramBlock->SetValue(lawn_vector_field_on, 0, FALSE);
  lawn->paramBlock->SetValue(lawn_angle_var, 0, FALSE);
  lawn->meshBuilt = FALSE;
  EXPECT_TRUE(Evaluate(*lawn) == bent) << "zero vectors: unturned, unbent blades";
  field->Load(dir / "missing.dat");
}

TEST(Lawn, CacheValidityAndPlaceholder) {
  LawnPtr lawn = NewLawn();
  EXPECT_EQ(lawn->ObjectValidity(0), FOREVER);
  const Mesh built = Evaluate(*lawn, 160);
  EXPECT_EQ(lawn->ObjectValidity(160), Interval(160, 161));
  lawn->paramBlock->SetValue(lawn_blade_length, 0, 3.0f);
  EXPECT_TRUE(Evaluate(*lawn, 160) == built) << "same time: the cached lawn stays";
  lawn->meshBuilt = FALSE;
  EXPECT_FALSE(Evaluate(*lawn, 160) == built) << "cleared: rebuilt";
  for (int type : {0, 1}) {
    LawnPtr flat = NewLawn();
    flat->paramBlock->SetValue(lawn_build_type, 0, type);
    flat->paramBlock->SetValue(lawn_single_mesh, 0, FALSE);
    flat->paramBlock->SetValue(lawn_length, 0, 6.0f);
    flat->paramBlock->SetValue(lawn_width, 0, 2.0f);
    const Mesh& m = Evaluate(*flat);
    ASSERT_EQ(m.getNumVerts(), 4);
    ASSERT_EQ(m.getNumFaces(), 2);
    EXPECT_EQ(m.verts[0], Point3(3.0f, 1.0f, 0.0f));
    EXPECT_EQ(m.verts[2], Point3(-3.0f, -1.0f, 0.0f));
    EXPECT_EQ(m.faces[1].v[0], 2u);
    EXPECT_EQ(flat->ObjectValidity(0), FOREVER);
  }
}

TEST(Lawn, ReferencesCloneAndBuildTypeReset) {
  LawnPtr lawn = NewLawn();
  EXPECT_STREQ(lawn->SubAnimName(2).data(), "Probabilitymap");
  EXPECT_STREQ(lawn->SubAnimName(3).data(), "");
  EXPECT_EQ(lawn->GetReference(3), nullptr);
  lawn->paramBlock->SetValue(lawn_height_map, 0, Grey(0.2f));
  lawn->paramBlock->SetValue(lawn_build_type, 0, 1);
  EXPECT_EQ(lawn->heightMap, lawn->GetReference(1));
  EXPECT_EQ(lawn->paramBlock->GetInt(lawn_height_map_on), TRUE);
  Evaluate(*lawn);
  RemapDir remap;
  LawnPtr copy(static_cast<Lawn*>(lawn->Clone(remap)));
  ASSERT_TRUE(copy);
  for (int k = 0; k < 2; ++k) {
    EXPECT_NE(copy->GetReference(k), nullptr);
    EXPECT_NE(copy->GetReference(k), lawn->GetReference(k));
  }
  EXPECT_EQ(copy->GetReference(2), nullptr);
  EXPECT_FALSE(copy->meshBuilt);
  EXPECT_EQ(copy->paramBlock->GetInt(lawn_height_map_on), TRUE);
  EXPECT_EQ(NewLawn()->paramBlock->GetInt(lawn_build_type), 0) << "reset for every new lawn";
  EXPECT_TRUE(lawn->CanConvertToType(kLawnClassID));
  EXPECT_TRUE(lawn->CanConvertToType(triObjectClassID));
}

TEST(Lawn, PostLoadReloadsTheSharedField) {
  TempDir dir;
  const unsigned char bytes[3] = {255, 0, 255};
  lawn_test::WriteBytes(dir / "b.raw", bytes, 3);
  lawn_test::WriteText(dir / "b.dat", "Resolution: 1 1 1\nObjectFileName: b.raw\n");
  LawnPtr lawn = NewLawn();
  lawn->paramBlock->SetValue(lawn_vector_field_file, 0, (dir / "b.dat").c_str());
  lawn->paramBlock->SetValue(lawn_vector_field_on, 0, TRUE);
  LawnPtr off = NewLawn();
  off->paramBlock->SetValue(lawn_vector_field_file, 0, (dir / "absent.dat").c_str());
  ILoad load;
  EXPECT_EQ(lawn->Load(&load), IO_OK);
  EXPECT_EQ(off->Load(&load), IO_OK);
  EXPECT_EQ(load.NumPendingPostLoadCallbacks(), 2);
  EXPECT_EQ(load.RunPostLoadCallbacks(), 2);
  ASSERT_NE(TheVectorField, nullptr);
  EXPECT_EQ(TheVectorField->SampleCell(0, 0, 0, 0), Point3(1.0f, -1.0f, 1.0f)) << "the switched-off lawn loads nothing";
  // Two lawns naming different fields: the one whose callback runs last fills the shared field.
  const unsigned char other[3] = {0, 255, 0};
  lawn_test::WriteBytes(dir / "c.raw", other, 3);
  lawn_test::WriteText(dir / "c.dat", "Resolution: 1 1 1\nObjectFileName: c.raw\n");
  LawnPtr second = NewLawn();
  second->paramBlock->SetValue(lawn_vector_field_file, 0, (dir / "c.dat").c_str());
  second->paramBlock->SetValue(lawn_vector_field_on, 0, TRUE);
  ILoad both;
  lawn->Load(&both);
  second->Load(&both);
  EXPECT_EQ(both.RunPostLoadCallbacks(), 2);
  EXPECT_EQ(TheVectorField->SampleCell(0, 0, 0, 0), Point3(-1.0f, 1.0f, -1.0f));
  TheVectorField->Load(dir / "absent.dat");
}

TEST(BladeLawn, ParallelAndSequentialBuildsAreIdentical) {
  GPUVectorField2D field;
  field.resolutionX = field.resolutionY = field.resolutionZ = 2;
  for (int k = 0; k < 24; ++k) field.vectors.push_back(static_cast<float>(k % 5) * 0.1f - 0.2f);
  BitmapInfo bi;
  bi.SetWidth(64);
  bi.SetHeight(64);
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> noise(TheManager->Create(&bi), [](Bitmap* b) { b->DeleteThis(); });
  NoiseTex().RenderBitmap(0, noise.get());
  noise->SetFilter(2);
  BladeLawnSettings s;
  s.nx = 70.5f;
  s.ny = 60.0f;
  s.heightMap = s.probabilityMap = noise.get();
  s.field = &field;
  s.slice = 1;
  s.threads = 1;
  const Mesh sequential = BuildBladeLawnMesh(s);
  EXPECT_GT(sequential.getNumFaces(), 0);
  for (int threads : {2, 3, 7}) {
    s.threads = threads;
    EXPECT_TRUE(BuildBladeLawnMesh(s) == sequential) << threads;
  }
}

// The one error the lawn logged for the host, or "".
std::string LoggedError() {
  std::string error;
  for (const LogRecord& r : TakeLogRecords())
    if (r.level == LogLevel::kError) error += r.message;
  return error;
}

TEST(BladeLawn, ALawnTooLargeToAllocateIsEmptyAndSaysWhy) {
  BladeLawnSettings s;
  s.nx = s.ny = 100000.0f;  // 10^10 blades: more vertices than a mesh can index
  const Mesh m = BuildBladeLawnMesh(s);
  const std::string err = LoggedError();
  EXPECT_EQ(m.getNumVerts(), 0);
  EXPECT_EQ(m.getNumFaces(), 0);
  EXPECT_NE(err.find("Lawn: cannot allocate"), std::string::npos) << err;
  s.nx = s.ny = 0.5f;  // no cells at all
  EXPECT_EQ(BuildBladeLawnMesh(s).getNumFaces(), 0);
}

TEST(BladeLawn, ALawnBeyondWhatTheHostCanHoldIsRefusedBeforeItIsFilled) {
  // 1000 x 200 blades make a mesh of about 1.2 GB with its normals; held three times by the host it
  // is far over a 1 GiB limit, so it is refused up front (the system would otherwise promise the
  // memory and kill the process while it is filled), with the estimate and what to change.
  SetHostMemoryLimit(std::size_t{1} << 30);
  SetHostMeshCopies(3);
  BladeLawnSettings s;
  s.nx = 1000.0f;
  s.ny = 200.0f;
  const Mesh refused = BuildBladeLawnMesh(s);
  const std::string err = LoggedError();
  Mesh direct;
  const BOOL sized = direct.setNumVerts((1100 << 20) / static_cast<int>(sizeof(Point3)));  // 1.1 GiB
  SetHostMemoryLimit(0);
  EXPECT_EQ(refused.getNumVerts(), 0);
  EXPECT_EQ(err,
            "Lawn: the lawn of 200000 blades needs about 3.6 GB at its peak (a mesh of 1.2 GB, held 3 times), "
            "more than the 1.1 GB this process can have; lower \"# Blades X\" and \"# Blades Y\" (or, with "
            "\"Use heightmap dimension\" on, use a smaller height map)");
  EXPECT_FALSE(sized);
  EXPECT_EQ(direct.getNumVerts(), 0);
  s.ny = 2.0f;  // a lawn within the limit still builds
  EXPECT_EQ(BuildBladeLawnMesh(s).getNumVerts(), 2000 * 61);
  SetHostMeshCopies(1);
  EXPECT_EQ(LoggedError(), "");
}

}  // namespace
