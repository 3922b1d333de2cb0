// GrassBundle through the loaded plug-in: its table and panel, the random values its constructor
// draws, the mesh its parameters shape, creation by drag and cloning.
#include <utility>
#include <vector>

#include "blade/tuft_mesh.h"
#include "sdk/creation.h"
#include "sdk/crt.h"
#include "sdk/ui.h"
#include "tests/plugin_test_util.h"

namespace {
using BundleTest = PluginTest;

SimpleObject* NewBundle() { return dynamic_cast<SimpleObject*>(PluginTest::Desc("GrassBundle")->Create(FALSE)); }

// The 200 values a tuft constructed right after srand(seed) draws.
std::vector<float> Draws(unsigned seed) {
  crt::srand(seed);
  std::vector<float> q(kTuftDraws);
  for (float& v : q) v = static_cast<float>(crt::rand() / 32767.0);
  return q;
}

TEST_F(BundleTest, TableHoldsTheSeventeenParameters) {
  SimpleObject* bundle = NewBundle();
  const ParamBlockDesc2* d = bundle->GetParamBlock(0)->GetDesc();
  bundle->DeleteMe();  // the description outlives the tuft
  struct Row {
    const char* name;
    float def, lo, hi;
    int editType, edit, spin;
    float scale;
  } rows[] = {{"size", 1, 0, 1000, EDITTYPE_FLOAT, 1490, 1496, 0.5f},
              {"Variation", 0.5f, 0, 1, EDITTYPE_UNIVERSE, 1491, 1497, 0.01f},
              {"#blades", 5, 1, 10, EDITTYPE_UNIVERSE, 1493, 1498, 1},
              {"Min stiffness", 0, 0, 1, EDITTYPE_UNIVERSE, 1495, 1500, 0.01f},
              {"Max stiffness", 0.05f, 0, 1, EDITTYPE_UNIVERSE, 1499, 1501, 0.01f},
              {"Min gravity", 0.1f, 0, 1, EDITTYPE_UNIVERSE, 1492, 1502, 0.01f},
              {"Max gravity", 0.3f, 0, 1, EDITTYPE_UNIVERSE, 1494, 1503, 0.01f},
              {"Min #weldings", 0, 0, 10, EDITTYPE_UNIVERSE, 1504, 1505, 1},
              {"Max #weldings", 3, 0, 10, EDITTYPE_UNIVERSE, 1506, 1507, 1},
              {"Min welding factor", 0, -2, 2, EDITTYPE_UNIVERSE, 1508, 1509, 0.1f},
              {"Max welding factor", 0.2f, -2, 2, EDITTYPE_UNIVERSE, 1510, 1511, 0.1f},
              {"Min thiness", 1, 0.5f, 1.65f, EDITTYPE_UNIVERSE, 1514, 1515, 0.01f},
              {"Max thiness", 1.35f, 0.5f, 1.65f, EDITTYPE_UNIVERSE, 1512, 1513, 0.01f},
              {"Min rotation", 0, 0, 90, EDITTYPE_UNIVERSE, 1516, 1517, 0.5f},
              {"Max rotation", 0, 0, 90, EDITTYPE_UNIVERSE, 1518, 1519, 0.5f},
              {"Max height?", 0, 0, 0, 0, 1001, 0, 0},
              {"Max height", 0, 0, 1000, EDITTYPE_UNIVERSE, 1520, 1521, 0.5f}};
  ASSERT_EQ(d->Count(), 17);
  EXPECT_EQ(d->Flags(), P_AUTO_CONSTRUCT | P_AUTO_UI);
  for (int id = 0; id < 17; ++id) {
    const ParamDef& p = *d->GetParamDef(static_cast<ParamID>(id));
    const Row& r = rows[id];
    EXPECT_STREQ(p.int_name, r.name) << id;
    EXPECT_EQ(d->IDtoIndex(static_cast<ParamID>(id)), id);
    EXPECT_EQ(p.ui.ids[0], r.edit) << r.name;
    if (id == 15) {
      EXPECT_EQ(p.type, TYPE_BOOL);
      EXPECT_EQ(p.local_name, 7);
      EXPECT_EQ(p.ui.type, TYPE_SINGLECHEKBOX);
      EXPECT_FALSE(p.flags & P_ANIMATABLE);
      continue;
    }
    EXPECT_EQ(p.type, TYPE_FLOAT) << r.name;
    EXPECT_TRUE(p.flags & P_ANIMATABLE) << r.name;
    EXPECT_EQ(p.local_name, 5) << r.name;
    EXPECT_EQ(p.def.f, r.def) << r.name;
    EXPECT_EQ(p.range.lo, r.lo) << r.name;
    EXPECT_EQ(p.range.hi, r.hi) << r.name;
    EXPECT_EQ(p.ui.edit_type, r.editType) << r.name;
    EXPECT_EQ(p.ui.ids[1], r.spin) << r.name;
    EXPECT_EQ(p.ui.scale, r.scale) << r.name;
  }
  const DialogTemplate* dlg = module->resources->FindDialog(102);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(dlg->width, 118);
  EXPECT_EQ(dlg->height, 179);
  EXPECT_EQ(dlg->items.size(), 48u);
  for (const Row& r : rows) {
    for (int id : {r.edit, r.spin}) {
      if (!id) continue;
      const DialogItem* item = dlg->Find(id);
      ASSERT_NE(item, nullptr) << id;
      EXPECT_EQ(item->disabled, id == 1520 || id == 1521) << id;
    }
  }
  EXPECT_STREQ(dlg->Find(1001)->text, "Max height?");
}

TEST_F(BundleTest, ConstructorDrawsTwoHundredValuesInOrderAndTheMeshReadsThem) {
  const std::vector<float> q = Draws(4242);
  const int following = crt::rand();  // the 201st value after seeding
  crt::srand(4242);
  SimpleObject* b = NewBundle();
  EXPECT_EQ(crt::rand(), following);
  IParamBlock2* pb = b->GetParamBlock(0);
  pb->SetValue(1, 0, 0.8f);    // "Variation"
  pb->SetValue(13, 0, 10.0f);  // "Min rotation", degrees
  pb->SetValue(14, 0, 60.0f);  // "Max rotation"
  TuftRanges r;
  r.size = 1.0f;
  r.sizeVariance = 0.8f;
  r.stiffnessMax = 0.05f;
  r.gravityMin = 0.1f;
  r.gravityMax = 0.3f;
  r.weldFactorMax = 0.2f;
  r.weldingsMax = 3;
  r.rotationXMin = 10.0f * 3.1415927f / 180.0f;
  r.rotationXMax = 60.0f * 3.1415927f / 180.0f;
  const Mesh& m = MeshAt(b);
  EXPECT_TRUE(m == BuildTuftMesh(r, q.data(), kTuftDraws, 5));
  EXPECT_TRUE(m.normalsValid());
  b->DeleteMe();
}

TEST_F(BundleTest, BladeCountAndTheSwitchesThatChangeNothing) {
  // Two weldings for every blade, so each blade has 61 vertices and 87 faces.
  crt::srand(7);
  SimpleObject* b = NewBundle();
  IParamBlock2* pb = b->GetParamBlock(0);
  pb->SetValue(7, 0, 2.0f);
  pb->SetValue(8, 0, 2.0f);
  pb->SetValue(6, 0, 1.0f);  // "Max gravity": bent blades, so a length limit would show
  for (auto [blades, verts] : {std::pair{5.9f, 305}, {1.0f, 61}, {10.0f, 610}}) {
    pb->SetValue(2, 0, blades);
    EXPECT_EQ(MeshAt(b).getNumVerts(), verts) << blades;
    EXPECT_EQ(MeshAt(b).getNumFaces(), verts / 61 * 87) << blades;
  }
  const Mesh plain = MeshAt(b);
  pb->SetValue(11, 0, 0.5f);  // "Min thiness" and "Max thiness" are not read
  pb->SetValue(12, 0, 1.65f);
  pb->SetValue(16, 0, 0.5f);  // "Max height" while "Max height?" is off
  EXPECT_TRUE(MeshAt(b) == plain);
  pb->SetValue(15, 0, TRUE);
  pb->SetValue(16, 0, 0.0f);  // on, but a limit of 0 is no limit
  EXPECT_TRUE(MeshAt(b) == plain);
  pb->SetValue(16, 0, 0.5f);
  const Mesh limited = MeshAt(b);  // a copy: the tuft rebuilds whenever it is asked
  EXPECT_FALSE(limited == plain);
  for (int blade = 0; blade < 10; ++blade) {
    // Every blade stands on the origin: its root row is centred there.
    const Point3 root = (limited.verts[blade * 61] + limited.verts[blade * 61 + 3]) * 0.5f;
    EXPECT_NEAR(Length(root), 0.0f, 1e-6f) << blade;
  }
  b->DeleteMe();
}

TEST_F(BundleTest, MaxHeightControlsFollowTheCheckBoxWheneverThePanelOpens) {
  SimpleObject* b = NewBundle();
  INode* node = TheHost().CreateObjectNode(b);
  EXPECT_STREQ(node->GetName(), "Grass bundle");
  MSTR name;
  b->GetClassName(name);
  EXPECT_STREQ(name, "Grass bundle");
  CommandPanel& panel = GetCommandPanel();
  const auto enabled = [&] {
    HWND page = panel.GetPanelDlg(2);
    const bool edit = IsWindowEnabled(GetDlgItem(page, 1520)), spin = IsWindowEnabled(GetDlgItem(page, 1521));
    EXPECT_EQ(edit, spin);
    return edit;
  };
  b->BeginEditParams(&TheHost(), 0, nullptr);
  ASSERT_EQ(panel.GetNumPanels(), 3);
  EXPECT_STREQ(panel.GetPanelTitle(2), "Parameters");
  EXPECT_FALSE(enabled());
  EXPECT_TRUE(UserClick(1001));
  EXPECT_EQ(b->GetParamBlock(0)->GetInt(15), TRUE);
  EXPECT_TRUE(enabled());
  EXPECT_TRUE(UserSetSpinner(1521, 2.5f));
  EXPECT_EQ(b->GetParamBlock(0)->GetFloat(16), 2.5f);
  b->EndEditParams(&TheHost(), 0, nullptr);
  b->BeginEditParams(&TheHost(), 0, nullptr);
  EXPECT_TRUE(enabled()) << "reopened with \"Max height?\" on";
  EXPECT_TRUE(UserClick(1001));
  EXPECT_FALSE(enabled());
  b->EndEditParams(&TheHost(), 0, nullptr);
}

TEST_F(BundleTest, CreationByDragAndCloneDrawingAnew) {
  TopViewport vp(640, 480, 1.0f);
  std::string error;
  INode* node = CreateByDrag(Desc("GrassBundle"), vp, {100, 100}, {100, 148}, 4, 0, error);
  ASSERT_NE(node, nullptr) << error;
  auto* b = dynamic_cast<SimpleObject*>(node->GetObjectRef());
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->GetParamBlock(0)->GetFloat(0), 2.0f);
  EXPECT_EQ(node->GetNodeTM(0).GetTrans(), vp.ScreenToWorld({100, 100}));
  EXPECT_EQ(GetCommandPanel().GetNumPanels(), 2);

  RemapDir remap;
  auto* copy = dynamic_cast<SimpleObject*>(remap.CloneRef(b));
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->GetParamBlock(0), b->GetParamBlock(0));
  EXPECT_EQ(copy->GetParamBlock(0)->GetFloat(0), 2.0f);
  EXPECT_EQ(MeshAt(copy).getNumFaces() > 0, true);
  EXPECT_FALSE(MeshAt(copy) == MeshAt(b)) << "a clone draws its own random values";
  copy->DeleteMe();
}
}  // namespace
