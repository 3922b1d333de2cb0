// GrassBlade through the loaded plug-in: the mesh values the blade generator states, the
// parameter block, the panel, creation by a replayed drag, and cloning.
#include <cmath>
#include <limits>

#include "sdk/creation.h"
#include "sdk/custcont.h"
#include "sdk/ui.h"
#include "tests/plugin_test_util.h"

namespace {
using BladeTest = PluginTest;

constexpr float kTol = 1e-4f;

void ExpectNear(const Point3& a, const Point3& b, float tol = kTol) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}

// A blade with the given parameters set at time 0 (ids in the block's order).
SimpleObject* Blade(std::initializer_list<std::pair<ParamID, float>> values) {
  SimpleObject* b = PluginTest::NewBlade();
  for (auto [id, v] : values) EXPECT_TRUE(b->GetParamBlock(0)->SetValue(id, 0, v));
  return b;
}

TEST_F(BladeTest, DefaultBladeIsStraightAndSevenAndAHalfTall) {
  SimpleObject* b = NewBlade();
  const Mesh& m = MeshAt(b);
  ASSERT_EQ(m.getNumVerts(), 31);
  ASSERT_EQ(m.getNumFaces(), 29);
  EXPECT_EQ(m.getNumTVerts(), 31);
  EXPECT_EQ(m.getNumTVFaces(), 29);
  ExpectNear(m.verts[0], Point3(-0.25f, 0.0f, 0.0f));
  ExpectNear(m.verts[1], Point3(0.25f, 0.0f, 0.0f));
  ExpectNear(m.verts[28], Point3(-0.16151f, 0.0f, 7.0f));
  ExpectNear(m.verts[29], Point3(0.16151f, 0.0f, 7.0f));
  ExpectNear(m.verts[30], Point3(0.0f, 0.0f, 7.5f));
  ExpectNear(m.tVerts[29], Point3(1.0f, 1.0f, 0.0f));
  ExpectNear(m.tVerts[30], Point3(0.5f, 1.0f, 0.0f));
  const DWORD f0[] = {0, 1, 3}, f1[] = {3, 2, 0}, f28[] = {28, 29, 30};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(m.faces[0].v[k], f0[k]);
    EXPECT_EQ(m.faces[1].v[k], f1[k]);
    EXPECT_EQ(m.faces[28].v[k], f28[k]);
  }
  b->DeleteMe();
}

TEST_F(BladeTest, WeldingsAreTruncatedAndZeroWeldingsIsFlat) {
  struct Case {
    float weldings;
    int verts, faces;
  } cases[] = {{0.0f, 31, 29}, {2.0f, 61, 87}, {2.9f, 61, 87}, {100.0f, 1531, 2929}};
  for (const Case& c : cases) {
    SimpleObject* b = Blade({{3, c.weldings}, {4, 2.0f}});
    const Mesh& m = MeshAt(b);
    EXPECT_EQ(m.getNumVerts(), c.verts) << c.weldings;
    EXPECT_EQ(m.getNumFaces(), c.faces) << c.weldings;
    if (c.weldings == 0.0f) {
      // sin(pi) in single precision leaves 1e-7 of arch on the second edge.
      for (const Point3& p : m.verts) EXPECT_NEAR(p.y, 0.0f, 1e-6f) << "flat whatever the weld factor";
    }
    b->DeleteMe();
  }
}

TEST_F(BladeTest, GravityOneTurnsRowsByTheCumulativeAngle) {
  SimpleObject* b = Blade({{2, 1.0f}});
  const Mesh& m = MeshAt(b);
  for (int i = 0; i < 15; ++i) {
    float angle = 0.0025f * i * (i + 1) * (2 * i + 1) / 6.0f;
    for (int j = 0; j < 2; ++j) {
      const Point3& p = m.verts[2 * i + j];
      EXPECT_NEAR(std::hypot(p.y, p.z), 0.5f * i, kTol) << i;
      if (i > 0) {
        EXPECT_NEAR(std::atan2(-p.y, p.z), angle, 1e-3f) << i;
      }
    }
  }
  EXPECT_NEAR(0.0025f * 14 * 15 * 29 / 6.0f, 2.5375f, 1e-5f);
  const Point3& tip = m.verts[30];
  EXPECT_NEAR(std::hypot(tip.y, tip.z), 7.5f, kTol);
  EXPECT_NEAR(std::atan2(-tip.y, tip.z), 3.1f, 1e-3f);
  b->DeleteMe();
}

TEST_F(BladeTest, StiffnessThresholds) {
  // Stiffness at 0.5625 x gravity bends nothing; between 0.49 and 0.5625 x gravity only the tip.
  struct Case {
    float stiffness;
    bool tipLeans;
  } cases[] = {{0.5625f, false}, {0.8f, false}, {0.5f, true}, {0.49f, true}};
  for (const Case& c : cases) {
    SimpleObject* b = Blade({{1, c.stiffness}, {2, 1.0f}});
    const Mesh& m = MeshAt(b);
    for (int v = 0; v < 30; ++v) EXPECT_EQ(m.verts[v].y, 0.0f) << c.stiffness << " vertex " << v;
    EXPECT_EQ(m.verts[30].y != 0.0f, c.tipLeans) << c.stiffness;
    b->DeleteMe();
  }
}

TEST_F(BladeTest, HighThinningPutsTheLastRowOnOneSideAndSizeZeroCollapses) {
  SimpleObject* thin = Blade({{5, 1.65f}});
  const Mesh& m = MeshAt(thin);
  EXPECT_NEAR(m.verts[28].x, 0.09f, 1e-3f);  // 0.01875 * 7^1.65 - 0.375
  EXPECT_NEAR(m.verts[29].x, 3.0f * m.verts[28].x, 1e-5f);
  EXPECT_EQ(m.verts[30].x, 0.0f);
  thin->DeleteMe();
  SimpleObject* none = Blade({{0, 0.0f}, {2, 0.5f}, {3, 2.0f}});
  const Mesh& z = MeshAt(none);
  EXPECT_EQ(z.getNumVerts(), 61);
  for (const Point3& p : z.verts) EXPECT_EQ(p, Point3(0.0f, 0.0f, 0.0f));
  none->DeleteMe();
}

TEST_F(BladeTest, ParametersWithoutControlsStillShapeTheMesh) {
  SimpleObject* b = Blade({{6, 1.5707964f}});  // X rotation: the blade lies along -Y
  ExpectNear(MeshAt(b).verts[30], Point3(0.0f, -7.5f, 0.0f));
  b->GetParamBlock(0)->SetValue(6, 0, 0.0f);
  b->GetParamBlock(0)->SetValue(8, 0, 1.0f);  // max length boosts the bend only where it bends
  ExpectNear(MeshAt(b).verts[30], Point3(0.0f, 0.0f, 7.5f));
  b->DeleteMe();
}

TEST_F(BladeTest, RangesClampAndNonFiniteValuesAreRefused) {
  struct Case {
    ParamID id;
    float below, lo, above, hi;
  } cases[] = {{0, -1, 0, 2000, 1000},    {1, -1, 0, 2, 1},          {2, -1, 0, 2, 1},
               {3, -1, 0, 101, 100},      {4, -3, -2, 3, 2},         {5, 0, 0.5f, 2, 1.65f},
               {6, -1, 0, 7, 6.2831855f}, {7, -1, 0, 7, 6.2831855f}, {8, -1, 0, 1e6f, 1000}};
  SimpleObject* b = NewBlade();
  IParamBlock2* pb = b->GetParamBlock(0);
  for (const Case& c : cases) {
    pb->SetValue(c.id, 0, c.below);
    EXPECT_FLOAT_EQ(pb->GetFloat(c.id), c.lo) << c.id;
    pb->SetValue(c.id, 0, c.above);
    EXPECT_FLOAT_EQ(pb->GetFloat(c.id), c.hi) << c.id;
    EXPECT_FALSE(pb->SetValue(c.id, 0, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FLOAT_EQ(pb->GetFloat(c.id), c.hi) << c.id;
  }
  b->DeleteMe();
}

TEST_F(BladeTest, AnimatedSizeIsReadAtTheAskedTime) {
  SimpleObject* b = NewBlade();
  IParamBlock2* pb = b->GetParamBlock(0);
  AnimateOn();
  pb->SetValue(0, 0, 1.0f);
  pb->SetValue(0, 1600, 3.0f);
  AnimateOff();
  EXPECT_EQ(b->ObjectValidity(800), FOREVER);
  EXPECT_NEAR(MeshAt(b, 800).verts[30].z, 15.0f, kTol);
  EXPECT_NEAR(MeshAt(b, 5000).verts[30].z, 22.5f, kTol);
  EXPECT_NEAR(MeshAt(b, -5).verts[30].z, 7.5f, kTol);
  b->DeleteMe();
}

TEST_F(BladeTest, CloneHasItsOwnBlock) {
  SimpleObject* b = Blade({{0, 2.0f}, {2, 0.3f}});
  RemapDir remap;
  auto* copy = dynamic_cast<SimpleObject*>(remap.CloneRef(b));
  ASSERT_NE(copy, nullptr);
  IParamBlock2* pb = b->GetParamBlock(0);
  IParamBlock2* cpb = copy->GetParamBlock(0);
  ASSERT_NE(cpb, pb);
  EXPECT_EQ(copy->GetReference(0), cpb);
  EXPECT_EQ(copy->pblock2, cpb);
  EXPECT_EQ(cpb->GetFloat(2), 0.3f);
  cpb->SetValue(0, 0, 5.0f);
  EXPECT_EQ(pb->GetFloat(0), 2.0f);
  EXPECT_NEAR(MeshAt(copy).verts[0].x, -1.25f, kTol);
  EXPECT_NEAR(MeshAt(b).verts[0].x, -0.5f, kTol);
  copy->DeleteMe();
  b->DeleteMe();
}

TEST_F(BladeTest, IdentityAndNodeName) {
  SimpleObject* b = NewBlade();
  MSTR s;
  b->GetClassName(s);
  EXPECT_STREQ(s, "Grass blade");
  EXPECT_EQ(b->SuperClassID(), GEOMOBJECT_CLASS_ID);
  EXPECT_EQ(b->NumSubs(), 1);
  EXPECT_EQ(b->SubAnim(0), b->GetParamBlock(0));
  EXPECT_EQ(b->GetParamBlockByID(0), b->GetParamBlock(0));
  EXPECT_EQ(b->GetParamBlockByID(1), nullptr);
  EXPECT_TRUE(b->CanConvertToType(triObjectClassID));
  EXPECT_TRUE(b->CanConvertToType(defObjectClassID));
  INode* node = TheHost().CreateObjectNode(b);
  EXPECT_STREQ(node->GetName(), "Grass blade");
  Object* tri = b->ConvertToType(0, triObjectClassID);
  ASSERT_NE(tri, nullptr);
  EXPECT_EQ(static_cast<TriObject*>(tri)->mesh.getNumVerts(), 31);
  tri->DeleteThis();
}

TEST_F(BladeTest, PanelBindsTheSixSpinners) {
  SimpleObject* b = NewBlade();
  INode* node = TheHost().CreateObjectNode(b);
  b->BeginEditParams(&TheHost(), 0, nullptr);
  CommandPanel& panel = GetCommandPanel();
  ASSERT_EQ(panel.GetNumPanels(), 3);
  EXPECT_STREQ(panel.GetPanelTitle(2), "Parameters");
  EXPECT_TRUE(panel.IsPanelOpen(2));
  HWND page = panel.GetPanelDlg(2);
  struct Spin {
    int spinner;
    float value, lo, hi, scale;
  } spins[] = {{1496, 1, 0, 1000, 0.5f}, {1497, 0, 0, 1, 0.01f},  {1498, 0, 0, 1, 0.01f},
               {1499, 0, 0, 100, 1},     {1500, 0, -2, 2, 0.01f}, {1501, 1.25f, 0.5f, 1.65f, 0.01f}};
  for (const Spin& s : spins) {
    HWND w = GetDlgItem(page, s.spinner);
    ASSERT_NE(w, nullptr) << s.spinner;
    EXPECT_EQ(w->value, s.value);
    EXPECT_EQ(w->lo, s.lo);
    EXPECT_EQ(w->hi, s.hi);
    EXPECT_EQ(w->scale, s.scale);
  }
  EXPECT_TRUE(UserSetSpinner(1499, 2.9f));
  EXPECT_EQ(node->EvalWorldState(0).obj, b);
  EXPECT_EQ(MeshAt(b).getNumVerts(), 61);
  b->EndEditParams(&TheHost(), 0, nullptr);
  EXPECT_EQ(panel.GetNumPanels(), 2);
}

TEST_F(BladeTest, CreationByDragSetsSizeFromTheDragLength) {
  TopViewport vp(640, 480, 1.0f);
  struct Case {
    IPoint2 from, to;
    float size;
  } cases[] = {
      {{100, 100}, {100, 100}, 0.0f}, {{100, 100}, {124, 100}, 1.0f}, {{320, 240}, {320 + 36, 240 + 48}, 2.5f}};
  for (const Case& c : cases) {
    std::string error;
    INode* node = CreateByDrag(Desc("GrassBlade"), vp, c.from, c.to, 4, 0, error);
    ASSERT_NE(node, nullptr) << error;
    auto* b = dynamic_cast<SimpleObject*>(node->GetObjectRef());
    ASSERT_NE(b, nullptr);
    EXPECT_FLOAT_EQ(b->GetParamBlock(0)->GetFloat(0), c.size);
    EXPECT_EQ(node->GetNodeTM(0).GetTrans(), vp.ScreenToWorld(c.from));
    if (c.size == 0.0f) {
      for (const Point3& p : MeshAt(b).verts) EXPECT_EQ(p, Point3(0.0f, 0.0f, 0.0f));
    }
  }
  EXPECT_EQ(GetCommandPanel().GetNumPanels(), 2) << "the creation panel closes";
}

TEST_F(BladeTest, CreationShowsTheSizeInThePanelAndAbortDeletesTheNode) {
  TopViewport vp(640, 480, 0.5f);
  CreationDriver drv(vp);
  std::string error;
  ASSERT_TRUE(drv.Begin(Desc("GrassBlade"), error)) << error;
  EXPECT_EQ(drv.Press({300, 200}), CREATE_CONTINUE);
  EXPECT_EQ(drv.DragTo({300, 296}), CREATE_CONTINUE);  // 96 px = 48 world units
  HWND spin = GetDlgItem(GetCommandPanel().GetPanelDlg(2), 1496);
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->value, 2.0f);
  EXPECT_EQ(TheHost().AllNodes().size(), 1u);
  drv.Abort();
  EXPECT_EQ(drv.State(), CreationState::kAborted);
  EXPECT_EQ(drv.Node(), nullptr);
  EXPECT_TRUE(TheHost().AllNodes().empty());
  EXPECT_EQ(GetCommandPanel().GetNumPanels(), 2);
}

TEST_F(BladeTest, ReleaseContinuesAndTheNextEventStops) {
  TopViewport vp;
  CreationDriver drv(vp);
  std::string error;
  ASSERT_TRUE(drv.Begin(Desc("GrassBlade"), error)) << error;
  drv.Press({10, 10});
  EXPECT_EQ(drv.Release({34, 10}), CREATE_CONTINUE);
  EXPECT_EQ(drv.State(), CreationState::kRunning);
  EXPECT_EQ(drv.Click({34, 10}), CREATE_STOP);
  EXPECT_EQ(drv.State(), CreationState::kStopped);
  ASSERT_NE(drv.Node(), nullptr);
}
}  // namespace
