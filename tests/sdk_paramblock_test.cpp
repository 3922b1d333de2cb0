// Parameter blocks: defaults, ranges, refused values, key tracks, animate mode, notification and
// texture maps held in the owner's slot.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sdk/host.h"
#include "tests/sdk_test_classes.h"

namespace {
class ParamBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TheTestBlockDesc();
    obj = new TestObject();
    pb = obj->pb;
  }
  void TearDown() override {
    obj->DeleteMe();
    TheHost().ResetScene();
    EXPECT_EQ(CountedMap::alive, 0);
  }
  TestObject* obj = nullptr;
  IParamBlock2* pb = nullptr;
};

TEST_F(ParamBlockTest, NewBlockHoldsTheDefaultsInDefinitionOrder) {
  EXPECT_EQ(pb->ID(), 7);
  EXPECT_EQ(pb->NumParams(), 6);
  EXPECT_STREQ(pb->GetDesc()->GetParamDefByIndex(3)->int_name, "map");
  EXPECT_EQ(pb->GetDesc()->GetParamDefByName("path")->id, 4);
  EXPECT_EQ(pb->GetFloat(0), 1.0f);
  EXPECT_EQ(pb->GetInt(2), TRUE);
  EXPECT_STREQ(pb->GetStr(4), "none");
  EXPECT_EQ(pb->GetTexmap<ReferenceTarget>(3), nullptr);
}

TEST_F(ParamBlockTest, ValuesAreClampedToTheRange) {
  struct Case {
    float in, out;
  } cases[] = {{-5.0f, 0.0f}, {0.0f, 0.0f}, {7.5f, 7.5f}, {10.0f, 10.0f}, {1e30f, 10.0f}};
  for (const Case& c : cases) {
    EXPECT_TRUE(pb->SetValue(0, 0, c.in));
    EXPECT_EQ(pb->GetFloat(0), c.out) << c.in;
  }
  EXPECT_TRUE(pb->SetValue(1, 0, 5));
  EXPECT_EQ(pb->GetInt(1), 1);
  EXPECT_TRUE(pb->SetValue(1, 0, -3));
  EXPECT_EQ(pb->GetInt(1), 0);
  EXPECT_TRUE(pb->SetValue(0, 0, 3)) << "an int given to a float parameter is taken as a float";
  EXPECT_EQ(pb->GetFloat(0), 3.0f);
}

TEST_F(ParamBlockTest, NonFiniteValuesUnknownIdsAndWrongTypesAreRefused) {
  pb->SetValue(0, 0, 2.0f);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    EXPECT_FALSE(pb->SetValue(0, 0, bad));
    EXPECT_FALSE(pb->SetKey(0, 160, bad));
    EXPECT_EQ(pb->GetFloat(0), 2.0f);
  }
  EXPECT_FALSE(pb->SetValue(99, 0, 1.0f));
  EXPECT_FALSE(pb->SetValue(1, 0, 0.5f)) << "a float is not silently truncated into an int";
  EXPECT_FALSE(pb->SetValue(4, 0, 1));
  int i = 0;
  Interval iv = FOREVER;
  EXPECT_FALSE(pb->GetValue(0, 0, i, iv));
  EXPECT_EQ(pb->GetFloat(99), 0.0f);
}

TEST_F(ParamBlockTest, KeyTracksAreLinearAndConstantOutside) {
  AnimateOn();
  pb->SetValue(0, 0, 0.5f);    // first key at frame 0 replaces the constant
  pb->SetValue(0, 100, 4.0f);  // second key
  pb->SetValue(0, 300, 1.0f);
  AnimateOff();
  ASSERT_EQ(pb->NumKeys(0), 3);
  struct Case {
    TimeValue t;
    float v;
  } cases[] = {{-500, 0.5f}, {0, 0.5f}, {50, 2.25f}, {100, 4.0f}, {200, 2.5f}, {300, 1.0f}, {9999, 1.0f}};
  for (const Case& c : cases) EXPECT_FLOAT_EQ(pb->GetFloat(0, c.t), c.v) << c.t;
  float v = 0;
  Interval before = FOREVER, between = FOREVER, after = FOREVER;
  pb->GetValue(0, -10, v, before);
  pb->GetValue(0, 50, v, between);
  pb->GetValue(0, 400, v, after);
  EXPECT_EQ(before, Interval(TIME_NegInfinity, 0));
  EXPECT_EQ(between, Interval(50, 50));
  EXPECT_EQ(after, Interval(300, TIME_PosInfinity));
  ParamKey k;
  ASSERT_TRUE(pb->GetKey(0, 1, k));
  EXPECT_EQ(k, (ParamKey{100, 4.0f}));
  EXPECT_FALSE(pb->GetKey(0, 3, k));
  pb->ClearKeys(0, 50);
  EXPECT_EQ(pb->NumKeys(0), 0);
  EXPECT_FLOAT_EQ(pb->GetFloat(0, 1000), 2.25f);

  // Keys near both ends of the time line lie further apart than an int holds.
  const TimeValue far = 12499999 * GetTicksPerFrame();
  ASSERT_TRUE(pb->SetKey(0, -far, 0.0f));
  ASSERT_TRUE(pb->SetKey(0, far, 10.0f));
  EXPECT_FLOAT_EQ(pb->GetFloat(0, 0), 5.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(0, far / 2), 7.5f);
}

TEST_F(ParamBlockTest, AnimateModeKeepsTheOldValueAtFrameZeroAndKeysOnlyAnimatableFloats) {
  pb->SetValue(0, 0, 2.0f);
  AnimateOn();
  pb->SetValue(0, 160, 6.0f);
  pb->SetValue(5, 160, 1.0f);  // not animatable: a plain value
  AnimateOff();
  EXPECT_EQ(pb->NumKeys(0), 2);
  EXPECT_EQ(pb->GetFloat(0, 0), 2.0f);
  EXPECT_EQ(pb->GetFloat(0, 160), 6.0f);
  EXPECT_EQ(pb->NumKeys(5), 0);
  EXPECT_FALSE(pb->SetKey(5, 0, 1.0f));
  // Outside animate mode the whole track moves so it passes through the new value.
  pb->SetValue(0, 160, 7.0f);
  EXPECT_EQ(pb->GetFloat(0, 0), 3.0f);
  EXPECT_EQ(pb->GetFloat(0, 160), 7.0f);
  EXPECT_TRUE(pb->SetKey(0, 320, 50.0f));
  EXPECT_EQ(pb->GetFloat(0, 320), 10.0f) << "keys are clamped to the range";
}

TEST_F(ParamBlockTest, ChangesNotifyTheOwnerAndRecordTheParameter) {
  TestObject::builds = 0;
  BOOL needDelete = FALSE;
  obj->GetRenderMesh(0, nullptr, needDelete);
  obj->GetRenderMesh(0, nullptr, needDelete);
  EXPECT_EQ(TestObject::builds, 1);
  pb->SetValue(2, 0, FALSE);
  EXPECT_EQ(pb->LastNotifyParamID(), 2);
  obj->GetRenderMesh(0, nullptr, needDelete);
  EXPECT_EQ(TestObject::builds, 2) << "a change makes the cached mesh stale";
}

TEST_F(ParamBlockTest, OwnersReferenceMapsLiveInTheOwnersSlot) {
  auto* map = new CountedMap();
  EXPECT_TRUE(pb->SetValue(3, 0, map));
  EXPECT_EQ(obj->map, map);
  EXPECT_EQ(pb->GetTexmap<CountedMap>(3), map);
  EXPECT_EQ(pb->LastNotifyParamID(), 3);
  auto* other = new CountedMap();
  obj->ReplaceReference(1, other);  // the owner's slot is the truth
  EXPECT_EQ(pb->GetTexmap<CountedMap>(3), other);
  EXPECT_EQ(CountedMap::alive, 1);
  EXPECT_TRUE(pb->SetValue(3, 0, nullptr));
  EXPECT_EQ(CountedMap::alive, 0);
}
}  // namespace
