// The LawnMower in a host: the pipeline and passes over time, meshes it must leave alone, the
// gizmo's outline, colours, hits, bounds and moves, the sub-object level and the panel.
#include <gtest/gtest.h>

#include <cmath>

#include "mower/lawn_mower.h"
#include "mower/mow.h"
#include "res/resource_ids.h"
#include "sdk/custcont.h"
#include "sdk/host.h"
#include "sdk/module.h"
#include "sdk/node.h"
#include "sdk/panel.h"
#include "sdk/ui.h"
#include "tests/mower_blades.h"
#include "tests/plugin_class_fixture.h"

namespace {

constexpr int kW = 1;
constexpr int kTip = 15 * (kW + 2);
constexpr TimeValue kFrame = 160;

Point3 P(float x, float y, float z) { return Point3(x, y, z); }

PluginClassFixture<LawnMower> g_mowerClass(kLawnMowerClassID, OSM_CLASS_ID, "Lawn Mower", LawnMowerBlockSpec);

class MowerTest : public ::testing::Test {
 protected:
  void TearDown() override { TheHost().ResetScene(); }

  // A node holding a mesh object of the given blades, with a new mower on top.
  LawnMower* MowerOn(const Mesh& mesh) {
    TriObject* base = CreateNewTriObject();
    base->mesh = mesh;
    node_ = TheHost().CreateObjectNode(base);
    auto* mower = static_cast<LawnMower*>(g_mowerClass.Desc().Create(FALSE));
    node_->AddModifier(mower);
    return mower;
  }
  const Mesh& Evaluate(TimeValue t) { return static_cast<TriObject*>(node_->EvalWorldState(t).obj)->GetMesh(); }
  DefaultMatrix3Control* Gizmo(LawnMower* m) { return static_cast<DefaultMatrix3Control*>(m->gizmoControl); }

  INode* node_ = nullptr;
};

Mesh Row(std::initializer_list<float> xs) {
  Mesh m;
  for (float x : xs) AppendBlade(m, StraightBlade(kW, P(x, 0, 0)));
  return m;
}

TEST_F(MowerTest, FreshMowerHasDefaultsAndCutsNothing) {
  const Mesh blade = StraightBlade(kW, P(0, 0, 0));
  LawnMower* m = MowerOn(blade);
  EXPECT_EQ(m->paramBlock->GetFloat(mower_length), 0.5f);
  EXPECT_EQ(Evaluate(0).verts, blade.verts);
  EXPECT_TRUE(m->LocalValidity(0).Empty());
  EXPECT_EQ(m->ChannelsChanged(), 0x800037FFu);
  EXPECT_EQ(m->SubAnimName(1), MSTR("Lawn Mower Center"));
  EXPECT_EQ(m->SubNumToRefNum(0), -1);
  EXPECT_EQ(m->GetParamBlockByID(0), m->paramBlock);
  EXPECT_STREQ(m->GetSubObjType(0)->GetName(), "Lawn Mower Center");
  EXPECT_EQ(m->GetSubObjType(1), nullptr);
}

TEST_F(MowerTest, PassesOverTime) {
  struct Case {
    BOOL combine;
    TimeValue t;
    float tip;  // height of the collapsed top; 7.5 when uncut
  };
  const Case cases[] = {
      {FALSE, 2 * kFrame, 3.85f},  {TRUE, 0, 3.85f},  {TRUE, kFrame - 1, 3.85f}, {TRUE, kFrame, 3.745f},
      {TRUE, 2 * kFrame, 3.6715f}, {TRUE, -1, 3.85f}, {TRUE, -kFrame, 7.5f},
  };
  const Mesh blade = StraightBlade(kW, P(0, 0, 0));
  for (const Case& c : cases) {
    LawnMower* m = MowerOn(blade);
    m->paramBlock->SetValue(mower_shape, 0, kMowCircle);
    m->paramBlock->SetValue(mower_radius, 0, 1.0f);
    m->paramBlock->SetValue(mower_length, 0, 0.55f);
    m->paramBlock->SetValue(mower_combine, 0, c.combine);
    EXPECT_NEAR(Evaluate(c.t).verts[kTip].z, c.tip, 1e-5f) << "combine " << c.combine << " t " << c.t;
    // The pipeline mows a copy; the object's own mesh is never touched.
    EXPECT_EQ(static_cast<TriObject*>(node_->GetObjectRef())->mesh.verts, blade.verts);
    TheHost().ResetScene();
  }
}

TEST_F(MowerTest, AnimatedGizmoLeavesATrailWhenCombining) {
  LawnMower* m = MowerOn(Row({0, 5, 10, 20}));
  m->paramBlock->SetValue(mower_width, 0, 2.0f);
  m->paramBlock->SetValue(mower_height, 0, 2.0f);
  Gizmo(m)->SetPositionKey(0, P(0, 0, 0));
  Gizmo(m)->SetPositionKey(10 * kFrame, P(10, 0, 0));
  const int n = kTip + 1;
  auto cut = [&](const Mesh& mesh, int blade) { return mesh.verts[blade * n + kTip].z < 7.5f; };
  const Mesh& once = Evaluate(10 * kFrame);
  EXPECT_FALSE(cut(once, 0));
  EXPECT_TRUE(cut(once, 2));
  m->paramBlock->SetValue(mower_combine, 0, TRUE);
  const Mesh& trail = Evaluate(10 * kFrame);
  EXPECT_TRUE(cut(trail, 0));
  EXPECT_TRUE(cut(trail, 1));
  EXPECT_TRUE(cut(trail, 2));
  EXPECT_FALSE(cut(trail, 3));
}

// An object that is no triangle mesh.
class NotAMesh : public GeomObject {
 public:
  ObjectState Eval(TimeValue) override { return ObjectState(this); }
  Class_ID ClassID() override { return Class_ID(0x1234, 0); }
};

TEST_F(MowerTest, LeavesMeshesItCannotWalkUnchanged) {
  Mesh fewTVerts = StraightBlade(kW, P(0, 0, 0));
  fewTVerts.tVerts.resize(10);
  Mesh badIndex = StraightBlade(kW, P(0, 0, 0));
  badIndex.faces[3].v[1] = 5000;
  for (const Mesh& bad : {fewTVerts, badIndex}) {
    LawnMower* m = MowerOn(bad);
    m->paramBlock->SetValue(mower_invert, 0, TRUE);  // would cut every blade
    EXPECT_TRUE(Evaluate(0) == bad);
    TheHost().ResetScene();
  }
  auto* m = static_cast<LawnMower*>(g_mowerClass.Desc().Create(FALSE));
  NotAMesh other;
  ObjectState os(&other);
  ModContext mc;
  m->ModifyObject(0, mc, &os, nullptr);  // nothing to do, nothing read
  EXPECT_EQ(os.obj, &other);
  m->DeleteMe();
}

TEST_F(MowerTest, GizmoOutlineAndColours) {
  LawnMower* m = MowerOn(StraightBlade(kW, P(0, 0, 0)));
  m->paramBlock->SetValue(mower_width, 0, 4.0f);
  m->paramBlock->SetValue(mower_height, 0, 2.0f);
  Gizmo(m)->SetPosition(P(10, 0, 0));
  TopViewport view(200, 200, 0.5f);
  GraphicsWindow gw(view);
  view.SetGW(&gw);
  ModContext* mc = node_->GetModContext(0);
  m->Display(0, node_, &view, 0, mc);
  ASSERT_EQ(gw.Lines().size(), 1u);
  const GWPolyline& rect = gw.Lines()[0];
  ASSERT_EQ(rect.world.size(), 5u);
  EXPECT_EQ(rect.world[0], P(8, -1, 0));
  EXPECT_EQ(rect.world[2], P(12, 1, 0));
  EXPECT_EQ(rect.world[4], rect.world[0]);
  EXPECT_EQ(rect.color, GetUIColor(COLOR_GIZMOS));
  EXPECT_EQ(rect.rndLimits & GW_ILLUM, 0u);

  Box3 box;
  m->GetWorldBoundBox(0, node_, &view, box, mc);
  EXPECT_EQ(box.pmin, P(8, -1, 0));
  EXPECT_EQ(box.pmax, P(12, 1, 0));

  // Circle: 20 points on the rim, closed; the selected colour at sub-object level 1.
  m->paramBlock->SetValue(mower_shape, 0, kMowCircle);
  m->paramBlock->SetValue(mower_radius, 0, 3.0f);
  m->BeginEditParams(&TheHost(), 0, nullptr);
  EXPECT_NE(EnterSubObjectLevel(&TheHost(), m, 1), nullptr);
  gw.ClearLines();
  m->Display(0, node_, &view, 0, mc);
  ASSERT_EQ(gw.Lines().size(), 1u);
  const GWPolyline& circle = gw.Lines()[0];
  ASSERT_EQ(circle.world.size(), 21u);
  EXPECT_EQ(circle.world[20], circle.world[0]);
  for (int i = 0; i < 20; ++i) {
    EXPECT_NEAR((circle.world[i] - P(10, 0, 0)).Length(), 3.0f, 1e-5f);
  }
  EXPECT_NEAR(circle.world[5].x, 13.0f, 1e-5f);  // a quarter turn from +Y towards +X
  EXPECT_EQ(circle.color, GetUIColor(COLOR_SEL_GIZMOS));
  m->EndEditParams(&TheHost(), 0, nullptr);
}

TEST_F(MowerTest, HitTestLogsHitsOnTheOutline) {
  LawnMower* m = MowerOn(StraightBlade(kW, P(0, 0, 0)));
  m->paramBlock->SetValue(mower_shape, 0, kMowCircle);
  m->paramBlock->SetValue(mower_radius, 0, 10.0f);
  TopViewport view(200, 200, 1.0f);
  GraphicsWindow gw(view);
  view.SetGW(&gw);
  IPoint2 onRim = view.WorldToScreen(P(0, 10, 0));
  IPoint2 centre = view.WorldToScreen(P(0, 0, 0));
  EXPECT_EQ(m->HitTest(0, node_, POINT_RGN, TRUE, 0, &onRim, &view, node_->GetModContext(0)), 1);
  ASSERT_EQ(view.Hits().size(), 1u);
  EXPECT_EQ(view.Hits()[0].node, node_);
  EXPECT_EQ(m->HitTest(0, node_, POINT_RGN, TRUE, 0, &centre, &view, node_->GetModContext(0)), 0);
  EXPECT_EQ(view.Hits().size(), 1u);
  EXPECT_TRUE(gw.Lines().empty());  // picking draws nothing
}

struct CenterTM : SubObjAxisCallback {
  Point3 centre;
  Matrix3 tm;
  void Center(const Point3& c, int) override { centre = c; }
  void TM(const Matrix3& m, int) override { tm = m; }
};

TEST_F(MowerTest, MovesAreClampedToTheContextBox) {
  LawnMower* m = MowerOn(StraightBlade(kW, P(0, 0, 0)));
  Box3 box(P(-50, -50, 0), P(50, 50, 8));
  ModContext mc(nullptr, &box);
  CenterTM cb;
  m->GetSubObjectCenters(&cb, 0, nullptr, &mc);  // remembers the box
  MoveModBoxCMode mode(m, &TheHost());
  mode.Drag(0, P(100, -70, -3));
  EXPECT_EQ(Gizmo(m)->GetPosition(0), P(50, -50, 0));
  mode.Drag(0, P(10, 10, 20));
  EXPECT_EQ(Gizmo(m)->GetPosition(0), P(60, -40, 8));
  m->GetSubObjectTMs(&cb, 0, nullptr, &mc);
  m->GetSubObjectCenters(&cb, 0, nullptr, &mc);
  EXPECT_EQ(cb.centre, P(60, -40, 8));
  EXPECT_EQ(cb.tm.GetTrans(), P(60, -40, 8));
}

TEST_F(MowerTest, ControllerAssignment) {
  LawnMower* m = MowerOn(StraightBlade(kW, P(0, 0, 0)));
  Control* fresh = NewDefaultMatrix3Controller();
  EXPECT_FALSE(m->AssignController(fresh, 0));
  EXPECT_FALSE(m->AssignController(m->paramBlock, 1));  // not a transform controller
  EXPECT_TRUE(m->AssignController(fresh, 1));
  EXPECT_EQ(m->gizmoControl, fresh);
  EXPECT_EQ(m->SubAnim(1), fresh);
}

TEST_F(MowerTest, PanelEnablesTheSpinnersOfTheShape) {
  LawnMower* m = MowerOn(StraightBlade(kW, P(0, 0, 0)));
  auto enabled = [](int id) {
    const int page = GetCommandPanel().FindPageWithControl(id);
    return IsWindowEnabled(GetDlgItem(GetCommandPanel().GetPanelDlg(page), id)) != 0;
  };
  m->BeginEditParams(&TheHost(), 0, nullptr);
  EXPECT_TRUE(m->TestAFlag(A_MOD_BEING_EDITED));
  EXPECT_FALSE(enabled(IDC_MOWER_RADIUS_SPIN));
  EXPECT_TRUE(enabled(IDC_MOWER_WIDTH_SPIN));
  ASSERT_TRUE(UserClick(IDC_MOWER_CIRCLE));
  EXPECT_EQ(m->paramBlock->GetInt(mower_shape), kMowCircle);
  EXPECT_TRUE(enabled(IDC_MOWER_RADIUS_SPIN));
  EXPECT_FALSE(enabled(IDC_MOWER_WIDTH_SPIN));
  EXPECT_FALSE(enabled(IDC_MOWER_HEIGHT_SPIN));
  EXPECT_TRUE(enabled(IDC_MOWER_RADIUS));  // edit fields are left alone
  // A change made elsewhere (a script, an undo) shows in the open panel.
  m->paramBlock->SetValue(mower_radius, 0, 7.5f);
  const int page = GetCommandPanel().FindPageWithControl(IDC_MOWER_RADIUS_SPIN);
  ISpinner* spin = GetISpinner(GetDlgItem(GetCommandPanel().GetPanelDlg(page), IDC_MOWER_RADIUS_SPIN));
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->GetFVal(), 7.5f);
  ReleaseISpinner(spin);
  m->EndEditParams(&TheHost(), 0, nullptr);
  EXPECT_FALSE(m->TestAFlag(A_MOD_BEING_EDITED));
  EXPECT_EQ(TheHost().GetCommandMode(), nullptr);

  // Reopening restores the circle's state on the first paint.
  m->BeginEditParams(&TheHost(), 0, nullptr);
  EXPECT_TRUE(enabled(IDC_MOWER_RADIUS_SPIN));
  EXPECT_FALSE(enabled(IDC_MOWER_WIDTH_SPIN));
  ASSERT_TRUE(UserClick(IDC_MOWER_RECT));
  EXPECT_FALSE(enabled(IDC_MOWER_RADIUS_SPIN));
  EXPECT_TRUE(enabled(IDC_MOWER_HEIGHT_SPIN));
  m->EndEditParams(&TheHost(), 0, nullptr);
}

TEST_F(MowerTest, ReopeningThePanelTakesTheOldMoveModeOutOfTheHost) {
  LawnMower* m = MowerOn(StraightBlade(kW, P(0, 0, 0)));
  m->BeginEditParams(&TheHost(), 0, nullptr);
  ASSERT_NE(EnterSubObjectLevel(&TheHost(), m, 1), nullptr);
  m->BeginEditParams(&TheHost(), 0, nullptr);  // opened again without closing
  EXPECT_EQ(TheHost().GetCommandMode(), nullptr) << "the host still holds the freed mode";
  CommandMode* mode = EnterSubObjectLevel(&TheHost(), m, 1);
  ASSERT_NE(mode, nullptr);
  static_cast<MoveModBoxCMode*>(mode)->Drag(0, P(2, 0, 0), Matrix3(), Matrix3());
  EXPECT_EQ(Gizmo(m)->GetPosition(0), P(2, 0, 0));
  m->EndEditParams(&TheHost(), 0, nullptr);
  EXPECT_EQ(TheHost().GetCommandMode(), nullptr);
}

}  // namespace
