// The lawn through the loaded plug-in: its creation drag and the scatter of separate blades and
// tufts, and its panel procedure with the vector-field file button.
#include <filesystem>
#include <fstream>

#include "sdk/creation.h"
#include "sdk/crt.h"
#include "sdk/custcont.h"
#include "sdk/log.h"
#include "sdk/texmap.h"
#include "sdk/ui.h"
#include "tests/plugin_test_util.h"

namespace {
namespace fs = std::filesystem;
using LawnTest = PluginTest;

constexpr Class_ID kBladeClass(0x25ff6c8e, 0x4dfb339a), kBundleClass(0x0913212e, 0x3fdd72be);

// A drag in a top view of one world unit per pixel whose centre pixel (320, 240) shows the origin,
// with the lawn's parameters set first (while its creation panel is open). Null when aborted.
INode* DragLawn(Point3 from, Point3 to, bool ctrl, std::initializer_list<std::pair<ParamID, float>> params = {},
                float unitsPerPixel = 1.0f) {
  TopViewport vp(640, 480, unitsPerPixel);
  CreationDriver drv(vp);
  std::string error;
  EXPECT_TRUE(drv.Begin(PluginTest::Desc("Lawn"), error)) << error;
  IParamBlock2* pb = drv.Node()->GetObjectRef()->GetParamBlock(0);
  for (auto [id, v] : params) {
    if (pb->GetDesc()->GetParamDef(id)->IsFloat()) pb->SetValue(id, 0, v);
    else pb->SetValue(id, 0, static_cast<int>(v));
  }
  const int flags = ctrl ? MOUSE_CTRL : 0;
  drv.Press(vp.WorldToScreen(from), flags);
  drv.DragTo(vp.WorldToScreen(to), flags);
  drv.Release(vp.WorldToScreen(to), flags);
  EXPECT_NE(drv.State(), CreationState::kRunning);
  return drv.Node();
}

INode* TopNode(int i) { return TheHost().GetRootNode()->GetChildNode(i); }

// The value the shared sequence gives after `skip` draws from `seed`.
int DrawAfter(unsigned seed, int skip) {
  crt::srand(seed);
  for (int k = 0; k < skip; ++k) crt::rand();
  return crt::rand();
}

TEST_F(LawnTest, DragSetsSizeAndPivotOrAbortsWhenTooShort) {
  struct Case {
    const char* name;
    Point3 to;
    bool ctrl;
    float unitsPerPixel;
    bool kept;
    float length, width;
    Point3 pivot;
  } cases[] = {
      {"click without drag", {0.0f, 0.0f, 0.0f}, false, 1.0f, false, 0, 0, {}},
      {"drag to (-10, 5)", {-10.0f, 5.0f, 0.0f}, false, 1.0f, true, 10, 5, {-5.0f, 2.5f, 0.0f}},
      {"the same with Ctrl: a square", {-10.0f, 5.0f, 0.0f}, true, 1.0f, true, 10, 10, {-5.0f, 5.0f, 0.0f}},
      {"three pixels", {3.0f, 0.0f, 0.0f}, false, 1.0f, false, 0, 0, {}},
      {"four pixels but 0.08 units", {0.08f, 0.0f, 0.0f}, false, 0.02f, false, 0, 0, {}},
  };
  for (const Case& c : cases) {
    INode* node = DragLawn({0, 0, 0}, c.to, c.ctrl, {}, c.unitsPerPixel);
    ASSERT_EQ(node != nullptr, c.kept) << c.name;
    EXPECT_EQ(TheHost().AllNodes().size(), c.kept ? 1u : 0u) << c.name << ": \"Single Mesh?\" on makes no objects";
    if (!node) continue;
    IParamBlock2* pb = node->GetObjectRef()->GetParamBlock(0);
    for (ParamID id : {11, 28}) EXPECT_EQ(pb->GetFloat(id), c.length) << c.name;
    for (ParamID id : {12, 29}) EXPECT_EQ(pb->GetFloat(id), c.width) << c.name;
    EXPECT_EQ(node->GetNodeTM(0).GetTrans(), c.pivot) << c.name;
    // The creation is over: the full lawn builds (valid for one tick) instead of the placeholder.
    node->EvalWorldState(0);
    EXPECT_EQ(node->GetObjectRef()->ObjectValidity(0), Interval(0, 1)) << c.name;
    TheHost().ResetScene();
  }
}

TEST_F(LawnTest, ScatterMakesGroupedBladesWithEightDrawsEach) {
  crt::srand(99);
  INode* lawn = DragLawn({0, 0, 0}, {-10, 5, 0}, false, {{0, 0.0f}, {13, 3.0f}, {14, 2.0f}, {15, 0.0f}});
  ASSERT_NE(lawn, nullptr);
  const int next = crt::rand();  // taken before DrawAfter reseeds
  EXPECT_EQ(next, DrawAfter(99, 48)) << "six blades, eight draws each";
  ASSERT_EQ(TheHost().GetRootNode()->NumberOfChildren(), 2);
  INode* group = TopNode(1);
  EXPECT_TRUE(group->IsGroupHead());
  EXPECT_STREQ(group->GetName(), "Lawn001");  // "Lawn" is the lawn's own node
  ASSERT_EQ(group->NumberOfChildren(), 6);
  const char* names[] = {"Lawn001_Blade",    "Lawn001_Blade001", "Lawn001_Blade002",
                         "Lawn001_Blade003", "Lawn001_Blade004", "Lawn001_Blade005"};
  for (int k = 0; k < 6; ++k) {
    INode* blade = group->GetChildNode(k);
    EXPECT_STREQ(blade->GetName(), names[k]);
    EXPECT_EQ(blade->GetObjectRef()->ClassID(), kBladeClass);
    // Without jitter, blade k sits on column k / 2, row k % 2 of the 3 x 2 grid from the first corner.
    EXPECT_EQ(blade->GetNodeTM(0).GetTrans(), Point3((k / 2) * (-10.0f / 3.0f), (k % 2) * 2.5f, 0.0f)) << k;
    IParamBlock2* pb = blade->GetObjectRef()->GetParamBlock(0);
    EXPECT_EQ(pb->GetFloat(3), 2.0f);   // "#Weldings"
    EXPECT_EQ(pb->GetFloat(4), 0.05f);  // "Weld factor"
    EXPECT_EQ(pb->GetFloat(8), 1.0f);   // "Max length": the blade length, the switch being off
  }
  // The lawn itself shows only its placeholder rectangle.
  BOOL del = FALSE;
  EXPECT_EQ(static_cast<SimpleObject*>(lawn->GetObjectRef())->GetRenderMesh(0, lawn, del)->getNumFaces(), 2);
}

TEST_F(LawnTest, ScatterWithCtrlCoversTheSquareTheLawnShows) {
  INode* lawn = DragLawn({0, 0, 0}, {-10, 5, 0}, true, {{0, 0.0f}, {13, 3.0f}, {14, 2.0f}, {15, 0.0f}});
  ASSERT_NE(lawn, nullptr);
  INode* group = TopNode(1);
  ASSERT_EQ(group->NumberOfChildren(), 6);
  EXPECT_EQ(group->GetChildNode(5)->GetNodeTM(0).GetTrans(), Point3(2 * (-10.0f / 3.0f), 5.0f, 0.0f));
}

TEST_F(LawnTest, BlackProbabilityMapScattersAnEmptyGroupButDrawsAllTheSame) {
  for (int buildType : {0, 1}) {
    crt::srand(5);
    TopViewport vp(640, 480, 1.0f);
    CreationDriver drv(vp);
    std::string error;
    ASSERT_TRUE(drv.Begin(Desc("Lawn"), error)) << error;
    IParamBlock2* pb = drv.Node()->GetObjectRef()->GetParamBlock(0);
    pb->SetValue(0, 0, FALSE);
    pb->SetValue(1, 0, buildType);
    for (ParamID id : {13, 30}) pb->SetValue(id, 0, 3.0f);
    for (ParamID id : {14, 31}) pb->SetValue(id, 0, 2.0f);
    auto* black = new ConstantTex();
    black->color = {0.0f, 0.0f, 0.0f, 1.0f};
    ASSERT_TRUE(UserDropMap(3072, black));
    drv.Press(vp.WorldToScreen({0, 0, 0}));
    drv.Release(vp.WorldToScreen({8, 8, 0}));
    ASSERT_EQ(drv.State(), CreationState::kStopped);
    const int next = crt::rand();
    EXPECT_EQ(next, DrawAfter(5, buildType == 0 ? 48 : 24)) << "eight draws a blade, four a tuft";
    INode* group = TopNode(1);
    EXPECT_TRUE(group->IsGroupHead());
    EXPECT_EQ(group->NumberOfChildren(), 0);
    TheHost().ResetScene();
  }
}

TEST_F(LawnTest, ScatteredTuftsTakeTheBundleRollout) {
  crt::srand(11);
  INode* lawn = DragLawn({0, 0, 0}, {6, 4, 0}, false, {{0, 0.0f}, {1, 1.0f}, {30, 2.0f}, {31, 1.0f}});
  ASSERT_NE(lawn, nullptr);
  // Four draws a tuft, then each kept tuft's own 200.
  const int next = crt::rand();
  EXPECT_EQ(next, DrawAfter(11, 2 * (4 + 200)));
  INode* group = TopNode(1);
  ASSERT_EQ(group->NumberOfChildren(), 2);
  EXPECT_STREQ(group->GetChildNode(1)->GetName(), "Lawn001_Bundle001");
  IParamBlock2* pb = group->GetChildNode(0)->GetObjectRef()->GetParamBlock(0);
  EXPECT_EQ(group->GetChildNode(0)->GetObjectRef()->ClassID(), kBundleClass);
  EXPECT_EQ(pb->GetFloat(2), 3.0f);         // "#blades": the lawn's 3, no variation
  EXPECT_FLOAT_EQ(pb->GetFloat(6), 0.3f);   // "Max gravity": 0.2 * (1 + 0.5)
  EXPECT_EQ(pb->GetFloat(14), 6.2831855f);  // "Max rotation"
  EXPECT_EQ(pb->GetInt(15), TRUE);          // "Max height?": on, the height being the length
  EXPECT_EQ(pb->GetFloat(16), 1.0f);
}

// The lawn panel with files in a folder of its own.
class LawnPanelTest : public LawnTest {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gramora_lawn_panel_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    Field("wind.dat", 1);
    Field("flat.dat", 0);
  }
  void TearDown() override {
    ClearOpenFileAnswers();
    fs::remove_all(dir_);
    LawnTest::TearDown();
  }
  // A 2 x 2 float field with `slices` depth slices.
  std::string Field(const std::string& name, int slices) {
    std::ofstream(dir_ / (name + ".raw"), std::ios::binary) << std::string(48, '\x3f');
    std::ofstream(dir_ / name) << "ObjectFileName: " << name << ".raw\nResolution: 2 2 " << slices
                               << "\nFormat: FLOAT3\n";
    return (dir_ / name).string();
  }
  static HWND Global() { return GetCommandPanel().GetPanelDlg(2); }
  static std::string ButtonText() {
    ICustButton* b = GetICustButton(GetDlgItem(Global(), 3071));
    std::string text = b->GetText();
    ReleaseICustButton(b);
    return text;
  }
  fs::path dir_;
};

TEST_F(LawnPanelTest, FileButtonLoadsRemembersAndCancelSwitchesOff) {
  auto* lawn = dynamic_cast<SimpleObject*>(Desc("Lawn")->Create(FALSE));
  INode* node = TheHost().CreateObjectNode(lawn);
  IParamBlock2* pb = lawn->GetParamBlock(0);
  pb->SetValue(4, 0, TRUE);  // "VectormapEnabled" without a file
  lawn->BeginEditParams(&TheHost(), 0, nullptr);
  EXPECT_EQ(ButtonText(), "None");
  EXPECT_EQ(IsDlgButtonChecked(Global(), 1084), BST_UNCHECKED);
  EXPECT_EQ(pb->GetInt(4), FALSE) << "switched off without a file";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Global(), 1035)));

  const std::string wind = (dir_ / "wind.dat").string();
  QueueOpenFileAnswer(wind);
  ASSERT_TRUE(UserClick(3071));
  const OpenFileRequest& asked = LastOpenFileRequest();
  EXPECT_EQ(asked.title, "Vectorfield data");
  EXPECT_EQ(asked.filter, "Dat Files|*.dat|All Files|*.*");
  EXPECT_EQ(asked.flags, 0x804u);
  EXPECT_EQ(asked.initial_dir, "");
  EXPECT_EQ(pb->GetInt(4), TRUE);
  EXPECT_STREQ(pb->GetStr(5), wind.c_str());
  EXPECT_EQ(ButtonText(), wind);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Global(), 1035)));
  node->EvalWorldState(0);
  EXPECT_EQ(lawn->ObjectValidity(0), Interval(0, 1));

  // Cancelled: switched off, path forgotten, the button keeps its text; the dialog started where
  // the last file was.
  ASSERT_TRUE(UserClick(3071));
  EXPECT_EQ(LastOpenFileRequest().initial_dir, dir_.string() + "/");
  EXPECT_EQ(pb->GetInt(4), FALSE);
  EXPECT_STREQ(pb->GetStr(5), "");
  EXPECT_EQ(ButtonText(), wind);
  EXPECT_EQ(lawn->ObjectValidity(0), FOREVER) << "the button makes the lawn build again";

  // A field without depth slices leaves "Use z-size instead of time?" disabled.
  EnableWindow(GetDlgItem(Global(), 1035), FALSE);
  QueueOpenFileAnswer((dir_ / "flat.dat").string());
  ASSERT_TRUE(UserClick(3071));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Global(), 1035)));

  // Reopening the panel forgets the folder; a path longer than the dialog's buffer is refused, said,
  // and reads as a cancel.
  lawn->EndEditParams(&TheHost(), 0, nullptr);
  lawn->BeginEditParams(&TheHost(), 0, nullptr);
  EXPECT_EQ(ButtonText(), (dir_ / "flat.dat").string());
  TakeLogRecords();
  QueueOpenFileAnswer("/" + std::string(5000, 'x') + ".dat");
  ASSERT_TRUE(UserClick(3071));
  EXPECT_EQ(LastOpenFileRequest().initial_dir, "");
  const std::vector<LogRecord> log = TakeLogRecords();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].message.find("5005 characters"), std::string::npos) << log[0].message;
  EXPECT_STREQ(pb->GetStr(5), "");
  lawn->EndEditParams(&TheHost(), 0, nullptr);
}

TEST_F(LawnPanelTest, ScatterUnderAVectorFieldBendsNodesNotRotations) {
  TopViewport vp(640, 480, 1.0f);
  CreationDriver drv(vp);
  std::string error;
  ASSERT_TRUE(drv.Begin(Desc("Lawn"), error)) << error;
  IParamBlock2* pb = drv.Node()->GetObjectRef()->GetParamBlock(0);
  pb->SetValue(0, 0, FALSE);
  pb->SetValue(13, 0, 2.0f);
  pb->SetValue(14, 0, 2.0f);
  QueueOpenFileAnswer((dir_ / "wind.dat").string());
  ASSERT_TRUE(UserClick(3071));  // the field, loaded from the creation panel
  drv.Press(vp.WorldToScreen({0, 0, 0}));
  drv.Release(vp.WorldToScreen({8, 8, 0}));
  ASSERT_EQ(drv.State(), CreationState::kStopped);
  INode* group = TopNode(1);
  ASSERT_EQ(group->NumberOfChildren(), 4);
  for (int k = 0; k < 4; ++k) {
    INode* blade = group->GetChildNode(k);
    IParamBlock2* bp = blade->GetObjectRef()->GetParamBlock(0);
    EXPECT_EQ(bp->GetFloat(6), 0.0f) << "X rotation";
    EXPECT_EQ(bp->GetFloat(7), 0.0f) << "Z rotation";
    Matrix3 axes = blade->GetNodeTM(0);
    axes.NoTrans();
    EXPECT_FALSE(axes.IsIdentity()) << "the bend is in the node transform";
    EXPECT_EQ(blade->GetNodeTM(0).GetTrans().z, 0.0f);
  }
}

TEST_F(LawnPanelTest, RadiosSwapRolloutsAndChangesMakeTheLawnBuildAgain) {
  auto* lawn = dynamic_cast<SimpleObject*>(Desc("Lawn")->Create(FALSE));
  INode* node = TheHost().CreateObjectNode(lawn);
  lawn->BeginEditParams(&TheHost(), 0, nullptr);
  CommandPanel& panel = GetCommandPanel();
  ASSERT_EQ(panel.GetNumPanels(), 5);
  EXPECT_TRUE(panel.IsPanelOpen(3));
  EXPECT_FALSE(panel.IsPanelOpen(4));
  const auto built = [&] {
    node->EvalWorldState(0);
    return lawn->ObjectValidity(0) == Interval(0, 1);
  };
  ASSERT_TRUE(built());
  const auto faces = [&] {
    node->EvalWorldState(0);
    BOOL needDelete = FALSE;
    return lawn->GetRenderMesh(0, node, needDelete)->getNumFaces();
  };
  const int bladeFaces = faces();
  ASSERT_TRUE(UserClick(1003));
  EXPECT_FALSE(panel.IsPanelOpen(3));
  EXPECT_TRUE(panel.IsPanelOpen(4));
  EXPECT_EQ(faces(), 104400) << "the tufts replace the blades at once";
  ASSERT_TRUE(UserClick(1002));
  EXPECT_EQ(faces(), bladeFaces);
  ASSERT_TRUE(UserClick(1033));  // "To single mesh?" off: the placeholder
  EXPECT_EQ(faces(), 2);
  ASSERT_TRUE(UserClick(1033));
  EXPECT_EQ(faces(), bladeFaces) << "the full lawn comes back, not the rectangle";
  EXPECT_TRUE(panel.IsPanelOpen(3));
  EXPECT_FALSE(panel.IsPanelOpen(4));
  ASSERT_TRUE(UserSetSpinner(1003, 4.0f, 3));  // "Length" of the blade rollout
  EXPECT_EQ(lawn->ObjectValidity(0), FOREVER);
  EXPECT_TRUE(panel.IsPanelOpen(3)) << "a spinner with a radio's id swaps nothing";
  for (int box : {1025, 1034, 1083, 1084, 1085}) {
    ASSERT_TRUE(built());
    ASSERT_TRUE(UserClick(box)) << box;
    EXPECT_EQ(lawn->ObjectValidity(0), FOREVER) << box;
  }
  lawn->EndEditParams(&TheHost(), 0, nullptr);
}
}  // namespace
