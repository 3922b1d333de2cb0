// Automatic panels and user actions, the Windows calls on headless windows, the platform random
// sequence, the top viewport and mesh allocation failure.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "sdk/crt.h"
#include "sdk/custcont.h"
#include "sdk/host.h"
#include "sdk/large_alloc.h"
#include "sdk/memory.h"
#include "sdk/mesh.h"
#include "sdk/ui.h"
#include "tests/sdk_test_classes.h"

namespace {
class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TheTestBlockDesc();
    TheTestDesc().proc.calls.clear();
    obj = new TestObject();
    TheTestDesc().BeginEditParams(&TheHost(), obj, 0, nullptr);
  }
  void TearDown() override {
    TheTestDesc().EndEditParams(&TheHost(), obj, 0, nullptr);
    obj->DeleteMe();
    TheHost().ResetScene();
  }
  HWND Page() { return GetCommandPanel().GetPanelDlg(kHostPanelPages); }
  TestObject* obj = nullptr;
};

TEST_F(PanelTest, RolloutIsBuiltFromTheTemplateAfterTheHostPages) {
  CommandPanel& panel = GetCommandPanel();
  ASSERT_EQ(panel.GetNumPanels(), kHostPanelPages + 1);
  EXPECT_STREQ(panel.GetPanelTitle(2), "Test rollout");
  EXPECT_EQ(panel.GetMap(2)->GetRollupIndex(), 2);
  HWND spin = GetDlgItem(Page(), 11);
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->lo, 0.0f);
  EXPECT_EQ(spin->hi, 10.0f);
  EXPECT_EQ(spin->scale, 0.5f);
  EXPECT_EQ(spin->value, 1.0f);
  EXPECT_EQ(GetDlgItem(Page(), 10)->text, "1");
  EXPECT_EQ(IsDlgButtonChecked(Page(), 30), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(Page(), 20), BST_CHECKED);
  EXPECT_EQ(GetDlgItem(Page(), 40)->text, "None");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), 50))) << "disabled in the template";
  const auto& calls = TheTestDesc().proc.calls;
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].msg, WM_INITDIALOG);
  EXPECT_EQ(calls[1].msg, WM_PAINT);
}

TEST_F(PanelTest, UserActionsUpdateTheParameterBeforeTheProcedureRuns) {
  auto& calls = TheTestDesc().proc.calls;
  calls.clear();
  EXPECT_TRUE(UserSetSpinner(11, 25.0f));
  EXPECT_EQ(obj->pb->GetFloat(0), 10.0f);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].msg, CC_SPINNER_CHANGE);
  EXPECT_EQ(LOWORD(calls[0].w), 11);
  EXPECT_EQ(calls[0].size_at_call, 10);
  EXPECT_EQ(GetDlgItem(Page(), 10)->text, "10");

  EXPECT_TRUE(UserClick(21));
  EXPECT_EQ(obj->pb->GetInt(1), 1);
  EXPECT_EQ(IsDlgButtonChecked(Page(), 20), BST_UNCHECKED);
  EXPECT_TRUE(UserClick(30));
  EXPECT_EQ(obj->pb->GetInt(2), FALSE);
  EXPECT_EQ(calls.back().msg, WM_COMMAND);
  EXPECT_EQ(LOWORD(calls.back().w), 30);

  auto* map = new CountedMap();
  EXPECT_TRUE(UserDropMap(40, map));
  EXPECT_EQ(obj->map, map);
  EXPECT_EQ(GetDlgItem(Page(), 40)->text, "Counted");

  EXPECT_FALSE(UserClick(50)) << "a disabled control ignores the user";
  EXPECT_FALSE(UserClick(999));
  ISpinner* s = GetISpinner(GetDlgItem(Page(), 11));
  s->Disable();
  ReleaseISpinner(s);
  EXPECT_FALSE(UserSetSpinner(11, 1.0f));
}

TEST_F(PanelTest, ClosingThePanelRemovesItsPagesAndReleasesTheProcedure) {
  int deleted = TheTestDesc().proc.deleted;
  TheTestDesc().EndEditParams(&TheHost(), obj, 0, nullptr);
  EXPECT_EQ(GetCommandPanel().GetNumPanels(), kHostPanelPages);
  EXPECT_EQ(TheTestDesc().proc.deleted, deleted + 1);
  EXPECT_TRUE(TheTestBlockDesc().Maps().empty());
}

TEST(WindowsCalls, LoadStringCopiesWithinTheBuffer) {
  TheTestBlockDesc();
  HINSTANCE m = TheTestDesc().HInstance();
  char buf[8];
  EXPECT_EQ(LoadStringA(m, 1, buf, sizeof buf), 7);
  EXPECT_STREQ(buf, "Test ro");
  EXPECT_EQ(LoadStringA(m, 2, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(LoadStringA(nullptr, 1, buf, sizeof buf), 0);
  EXPECT_EQ(LoadStringA(m, 1, buf, 0), 0);
}

TEST(WindowsCalls, OpenFileDialogAnswersFromTheQueue) {
  ClearOpenFileAnswers();
  char file[16] = "";
  OPENFILENAMEA ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = "Pick";
  ofn.lpstrFilter = "Dat Files\0*.dat\0All Files\0*.*\0\0";
  EXPECT_FALSE(GetOpenFileNameA(&ofn)) << "nothing queued is a cancel";
  EXPECT_EQ(LastOpenFileRequest().title, "Pick");
  EXPECT_EQ(LastOpenFileRequest().filter, "Dat Files|*.dat|All Files|*.*");
  QueueOpenFileAnswer("/d/field.dat");
  QueueOpenFileAnswer("/a/path/much/too/long.dat");
  EXPECT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(file, "/d/field.dat");
  EXPECT_EQ(ofn.nFileOffset, 3);
  EXPECT_FALSE(GetOpenFileNameA(&ofn)) << "an answer that does not fit is refused, not cut";
  EXPECT_STREQ(file, "/d/field.dat");
}

TEST(WindowsCalls, OpenFileHandlerAnswersInsteadOfTheQueue) {
  ClearOpenFileAnswers();
  QueueOpenFileAnswer("/queued.dat");
  char file[16] = "";
  OPENFILENAMEA ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  std::string answer = "/asked.dat";
  DWORD room = 0;
  SetOpenFileHandler([&](const OpenFileRequest& r, std::string& path) {
    room = r.max_file;
    if (answer.empty()) return FALSE;
    path = answer;
    return TRUE;
  });
  EXPECT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(file, "/asked.dat");
  EXPECT_EQ(room, sizeof file);
  answer.clear();
  EXPECT_FALSE(GetOpenFileNameA(&ofn)) << "the person cancelled";
  SetOpenFileHandler({});
  EXPECT_TRUE(GetOpenFileNameA(&ofn)) << "the queue answers again";
  EXPECT_STREQ(file, "/queued.dat");
}

TEST(Platform, RandFollowsThePlatformSequence) {
  crt::srand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int e : expected) EXPECT_EQ(crt::rand(), e);
}

TEST(Platform, TopViewportMapsPixelsToTheGroundPlane) {
  TopViewport vp(640, 480, 0.5f);
  IPoint2 out;
  EXPECT_EQ(vp.SnapPoint({320, 240}, out, nullptr, SNAP_IN_PLANE), Point3(0.0f, 0.0f, 0.0f));
  EXPECT_EQ(vp.SnapPoint({340, 200}, out, nullptr, SNAP_IN_PLANE), Point3(10.0f, 20.0f, 0.0f));
  EXPECT_EQ(out, (IPoint2{340, 200}));
  EXPECT_EQ(vp.WorldToScreen(Point3(10.0f, 20.0f, 0.0f)), (IPoint2{340, 200}));
}

TEST(Platform, MeshThatCannotBeAllocatedIsEmptyAndFalse) {
  // More than the host can hold is refused before the system is asked, so the answer does not
  // depend on the machine's memory, the kernel's overcommit policy or a sanitizer's allocator.
  SetHostMemoryLimit(std::size_t{1} << 30);
  Mesh m;
  const BOOL small = m.setNumVerts(3);
  const BOOL huge = m.setNumFaces(INT_MAX);  // 20 bytes a face: 43 GB
  SetHostMemoryLimit(0);
  EXPECT_TRUE(small);
  EXPECT_FALSE(huge);
  EXPECT_EQ(m.getNumVerts(), 0);
  EXPECT_EQ(m.getNumFaces(), 0);
}

// A rebuild of the same size finds the block the previous build freed, already in place; a smaller
// one takes it shortened, a larger one takes the largest kept block grown.
TEST(Platform, FreedLargeBlocksAreReusedByTheNextAllocation) {
  ReleaseKeptMemory();
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  char* a = static_cast<char*>(AllocateLarge(9 * kMiB));
  a[9 * kMiB - 1] = 1;
  FreeLarge(a, 9 * kMiB);
  EXPECT_EQ(KeptBytes(), 10 * kMiB);  // whole huge pages
  char* b = static_cast<char*>(AllocateLarge(9 * kMiB));
  EXPECT_EQ(b, a);
  EXPECT_EQ(KeptBytes(), 0u);
  FreeLarge(b, 9 * kMiB);
  char* c = static_cast<char*>(AllocateLarge(5 * kMiB));
  EXPECT_EQ(c, a);
  FreeLarge(c, 5 * kMiB);
  char* d = static_cast<char*>(AllocateLarge(64 * kMiB));
  d[64 * kMiB - 1] = 2;  // the grown block is all there
  EXPECT_EQ(KeptBytes(), 0u);
  FreeLarge(d, 64 * kMiB);
  ReleaseKeptMemory();
  EXPECT_EQ(KeptBytes(), 0u);
}
}  // namespace
