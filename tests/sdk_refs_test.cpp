// References and lifetime, cloning, post-load callbacks and the node pipeline.
#include <gtest/gtest.h>

#include "sdk/host.h"
#include "sdk/ioapi.h"
#include "tests/sdk_test_classes.h"

namespace {
class RefsTest : public ::testing::Test {
 protected:
  void SetUp() override { TheTestBlockDesc(); }
  void TearDown() override {
    TheHost().ResetScene();
    EXPECT_EQ(TestObject::alive, 0);
    EXPECT_EQ(CountedMap::alive, 0);
  }
};

TEST_F(RefsTest, DeletingANodeFreesObjectBlockAndMap) {
  auto* obj = new TestObject();
  obj->ReplaceReference(1, new CountedMap());
  INode* node = TheHost().CreateObjectNode(obj);
  EXPECT_EQ(obj->pb->NumDependents(), 1);
  TheHost().DeleteNode(node);
  EXPECT_EQ(TestObject::alive, 0);
  EXPECT_EQ(CountedMap::alive, 0);
}

TEST_F(RefsTest, ReplacedTargetIsDeletedOnlyWhenNothingElseHoldsIt) {
  auto* a = new TestObject();
  auto* b = new TestObject();
  auto* map = new CountedMap();
  a->ReplaceReference(1, map);
  b->ReplaceReference(1, map);
  a->ReplaceReference(1, new CountedMap());  // b still holds the first map
  EXPECT_EQ(CountedMap::alive, 2);
  b->ReplaceReference(1, nullptr);  // last holder lets go
  EXPECT_EQ(CountedMap::alive, 1);
  auto* kept = a->map;
  a->ReplaceReference(1, nullptr, FALSE);  // not deleted: the caller takes it over
  EXPECT_EQ(CountedMap::alive, 1);
  kept->DeleteThis();
  a->DeleteMe();
  b->DeleteMe();
}

TEST_F(RefsTest, DeletedTargetEmptiesTheSlotsThatHeldIt) {
  auto* obj = new TestObject();
  auto* map = new CountedMap();
  obj->ReplaceReference(1, map);
  map->DeleteThis();
  EXPECT_EQ(obj->map, nullptr);
  obj->DeleteMe();
}

TEST_F(RefsTest, CloneCopiesBlockAndMapOncePerOperation) {
  auto* obj = new TestObject();
  auto* map = new CountedMap();
  obj->ReplaceReference(1, map);
  obj->pb->SetValue(0, 0, 4.0f);
  RemapDir remap;
  auto* copy = static_cast<TestObject*>(remap.CloneRef(obj));
  EXPECT_EQ(remap.CloneRef(map), copy->map) << "a second request gives the same clone";
  EXPECT_NE(copy->map, map);
  EXPECT_NE(copy->pb, obj->pb);
  EXPECT_EQ(copy->pb->GetFloat(0), 4.0f);
  copy->pb->SetValue(0, 0, 2.0f);
  EXPECT_EQ(obj->pb->GetFloat(0), 4.0f);
  EXPECT_EQ(copy->pb->GetOwner(), copy);
  copy->DeleteMe();
  obj->DeleteMe();
}

struct OrderCallback : PostLoadCallback {
  std::vector<int>* log;
  int tag;
  ILoad* again = nullptr;  // registers a follow-up when set
  OrderCallback(std::vector<int>* l, int t) : log(l), tag(t) {}
  void proc(ILoad* iload) override {
    log->push_back(tag);
    if (again) iload->RegisterPostLoadCallback(new OrderCallback(log, tag + 100), 0.0f);
    delete this;
  }
};

TEST(PostLoad, RunsByPriorityThenRegistrationAndDeletesUnrunCallbacks) {
  std::vector<int> log;
  {
    ILoad load;
    load.RegisterPostLoadCallback(new OrderCallback(&log, 1), 5.0f);
    auto* first = new OrderCallback(&log, 2);
    first->again = &load;
    load.RegisterPostLoadCallback(first, 1.0f);
    load.RegisterPostLoadCallback(new OrderCallback(&log, 3), 5.0f);
    EXPECT_EQ(load.RunPostLoadCallbacks(), 4);
    EXPECT_EQ(log, (std::vector<int>{2, 102, 1, 3}));
    EXPECT_EQ(load.RunPostLoadCallbacks(), 0) << "each callback runs once";
  }
  ILoad abandoned;  // a load that failed before the callbacks ran frees them (ASan checks)
  abandoned.RegisterPostLoadCallback(new OrderCallback(&log, 9));
}

// Moves every vertex up by one unit.
class LiftModifier : public Modifier {
 public:
  void ModifyObject(TimeValue, ModContext&, ObjectState* os, INode*) override {
    auto* tri = static_cast<TriObject*>(os->obj);
    for (Point3& p : tri->mesh.verts) p.z += 1.0f;
  }
};

TEST_F(RefsTest, ModifiersWorkOnACopyBottomToTop) {
  auto* obj = new TestObject();
  INode* node = TheHost().CreateObjectNode(obj);
  node->AddModifier(new LiftModifier());
  node->AddModifier(new LiftModifier());
  const ObjectState& os = node->EvalWorldState(0);
  ASSERT_NE(os.obj, obj);
  auto* tri = static_cast<TriObject*>(os.obj);
  ASSERT_EQ(tri->mesh.getNumVerts(), 3);
  EXPECT_EQ(tri->mesh.verts[1], Point3(1.0f, 0.0f, 2.0f));
  EXPECT_EQ(obj->mesh.verts[1], Point3(1.0f, 0.0f, 0.0f)) << "the cached mesh is untouched";
  node->DeleteModifier(0);
  EXPECT_EQ(static_cast<TriObject*>(node->EvalWorldState(0).obj)->mesh.verts[1].z, 1.0f);
}

TEST_F(RefsTest, NamesAreMadeUniqueAndGroupsOwnTheirMembers) {
  INode* a = TheHost().CreateObjectNode(new TestObject());
  INode* b = TheHost().CreateObjectNode(new TestObject());
  EXPECT_STREQ(a->GetName(), "Object");
  EXPECT_STREQ(b->GetName(), "Object001");
  INodeTab tab;
  TBInsertAt(tab, a, tab.Count());
  TBInsertAt(tab, b, tab.Count());
  MSTR name = "Object";
  INode* head = TheHost().GroupNodes(&tab, &name, FALSE);
  EXPECT_STREQ(head->GetName(), "Object002");
  EXPECT_TRUE(head->IsGroupHead());
  EXPECT_EQ(head->NumberOfChildren(), 2);
  TheHost().DeleteNode(head);
  EXPECT_EQ(TestObject::alive, 0);
  EXPECT_EQ(TheHost().GetRootNode()->NumberOfChildren(), 0);
}

TEST_F(RefsTest, UniqueNamesFollowRenamesAndDeletionsAndGroupsKeepTheirOrder) {
  Host& host = TheHost();
  std::vector<INode*> nodes;
  for (int i = 0; i < 3000; ++i) nodes.push_back(host.CreateObjectNode(new TestObject()));
  EXPECT_STREQ(nodes[1]->GetName(), "Object001");
  EXPECT_STREQ(nodes[2999]->GetName(), "Object2999");
  host.DeleteNode(nodes[7]);     // "Object007" is free again
  nodes[3]->SetName("Renamed");  // and "Object003"
  MSTR name = "Object";
  host.MakeNameUnique(name);
  EXPECT_STREQ(name, "Object003");
  name = "Object012";  // taken: a name ending in digits keeps its stem
  host.MakeNameUnique(name);
  EXPECT_STREQ(name, "Object003");
  name = "Renamed";
  host.MakeNameUnique(name);
  EXPECT_STREQ(name, "Renamed001");
  name = "Scene Root";  // the invisible root is nobody's name to avoid
  host.MakeNameUnique(name);
  EXPECT_STREQ(name, "Scene Root");

  nodes.erase(nodes.begin() + 7);
  INodeTab tab;
  for (INode* n : nodes) tab.Append(1, &n);
  MSTR group = "Group";
  INode* head = host.GroupNodes(&tab, &group, FALSE);
  ASSERT_EQ(head->NumberOfChildren(), 2999);
  for (int i = 0; i < 2999; ++i) ASSERT_EQ(head->GetChildNode(i), nodes[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(host.GetRootNode()->NumberOfChildren(), 1);
  host.DeleteNode(head);
  EXPECT_EQ(TestObject::alive, 0);
}
}  // namespace
