// The host facilities the mower draws and moves with: the default transform controller's keys and
// move packets, and the graphics window's hit regions.
#include <gtest/gtest.h>

#include "sdk/control.h"
#include "sdk/gfx.h"

namespace {

Point3 P(float x, float y, float z) { return Point3(x, y, z); }

TEST(GizmoController, KeysInterpolateAndMovesFollowTheirSpace) {
  auto* c = static_cast<DefaultMatrix3Control*>(NewDefaultMatrix3Controller());
  c->SetPositionKey(160, P(10, 0, 0));
  c->SetPositionKey(0, P(0, 0, 0));
  EXPECT_EQ(c->GetPosition(-50), P(0, 0, 0));  // constant before the first key
  EXPECT_EQ(c->GetPosition(80), P(5, 0, 0));
  EXPECT_EQ(c->GetPosition(500), P(10, 0, 0));
  Interval valid = FOREVER;
  Matrix3 m = TransMatrix(P(0, 0, 1));
  c->GetValue(80, &m, valid, CTRL_RELATIVE);  // the controller first, then the matrix given
  EXPECT_EQ(m.GetTrans(), P(5, 0, 1));
  EXPECT_EQ(valid, Interval(80, 80));

  // A move in a parent space scaled by 2 moves half as far; a keyed position gets a key at t.
  SetXFormPacket move(P(4, 0, 0), ScaleMatrix(P(2, 2, 2)), Matrix3());
  c->SetValue(80, &move);
  EXPECT_EQ(c->PositionKeys().size(), 3u);
  EXPECT_EQ(c->GetPosition(80), P(7, 0, 0));
  c->SetPosition(P(1, 2, 3));  // constant again
  EXPECT_TRUE(c->PositionKeys().empty());
  SetXFormPacket turned(P(1, 0, 0), Matrix3(), RotateZMatrix(1.5707964f));  // axis turned a quarter
  c->SetValue(0, &turned);
  EXPECT_NEAR(c->GetPosition(0).x, 1.0f, 1e-6f);
  EXPECT_NEAR(c->GetPosition(0).y, 3.0f, 1e-6f);
  // Keys near both ends of the time line lie further apart than an int holds.
  const TimeValue far = 12499999 * 160;
  c->SetPositionKey(-far, P(0, 0, 0));
  c->SetPositionKey(far, P(8, 0, 0));
  EXPECT_EQ(c->GetPosition(0), P(4, 0, 0));
  c->DeleteMe();
}

TEST(GraphicsWindow, HitRegions) {
  struct Case {
    const char* name;
    int type, crossing;
    IPoint2 p[2];
    bool hit;
  };
  // One segment from pixel (10, 10) to (30, 10) on a 1-unit-per-pixel window whose pixel (0, 0)
  // shows world (0, 0).
  const Case cases[] = {
      {"point within the pick box", POINT_RGN, TRUE, {{20, 13}, {}}, true},
      {"point beyond the pick box", POINT_RGN, TRUE, {{20, 15}, {}}, false},
      {"crossing rectangle over the middle", RECT_RGN, TRUE, {{15, 0}, {25, 20}}, true},
      {"window rectangle over the middle", RECT_RGN, FALSE, {{15, 0}, {25, 20}}, false},
      {"window rectangle around it all", RECT_RGN, FALSE, {{5, 5}, {35, 15}}, true},
      {"rectangle beside it", RECT_RGN, TRUE, {{40, 0}, {50, 20}}, false},
      {"crossing circle touching it", CIRCLE_RGN, TRUE, {{20, 15}, {20, 20}}, true},
      {"window circle around half of it", CIRCLE_RGN, FALSE, {{20, 10}, {20, 18}}, false},
  };
  for (const Case& c : cases) {
    GraphicsWindow gw(100, 100, 1.0f, P(50, -50, 0));
    HitRegion hr;
    MakeHitRegion(hr, c.type, c.crossing, 4, c.p);
    gw.setHitRegion(&hr);
    gw.setRndLimits(GW_PICK);
    gw.clearHitCode();
    const Point3 line[2] = {P(10, -10, 0), P(30, -10, 0)};
    gw.polyline(2, line, nullptr, FALSE, nullptr);
    EXPECT_EQ(gw.checkHitCode() != 0, c.hit) << c.name;
    EXPECT_TRUE(gw.Lines().empty()) << c.name;
  }
}

}  // namespace
