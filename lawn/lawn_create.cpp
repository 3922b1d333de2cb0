#include "lawn/lawn_create.h"

#include <cmath>

#include "lawn/lawn.h"
#include "lawn/lawn_scatter.h"

namespace {
// Drags shorter than this in the world, or this many screen pixels or fewer, make no lawn.
constexpr float kMinWorldDrag = 0.1f;
constexpr int kMaxClickPixels = 3;
}  // namespace

Point3 LawnCreateCallBack::SquareCorner() const {
  const float s = secondCorner.y - firstCorner.y >= 0.0f ? 1.0f : -1.0f;
  return Point3(secondCorner.x, firstCorner.y + s * extentX, firstCorner.z);
}

void LawnCreateCallBack::UpdateRectangle(ViewExp* vpt, IPoint2 m, bool square, Matrix3& mat) {
  secondCorner = vpt->SnapPoint(m, m, nullptr, SNAP_IN_PLANE);
  secondCorner.z = firstCorner.z;
  extentX = std::fabs(secondCorner.x - firstCorner.x);
  extentY = std::fabs(secondCorner.y - firstCorner.y);
  const float width = square ? extentX : extentY;
  const Point3 far = square ? SquareCorner() : secondCorner;
  mat.SetTrans(Point3((firstCorner.x + far.x) / 2.0f, (firstCorner.y + far.y) / 2.0f, firstCorner.z));
  if (IParamBlock2* pb = lawn->paramBlock) {
    pb->SetValue(lawn_length, 0, extentX);
    pb->SetValue(lawn_width, 0, width);
    pb->SetValue(lawn_b_length, 0, extentX);
    pb->SetValue(lawn_b_width, 0, width);
  }
}

int LawnCreateCallBack::Finish(bool square) {
  lawn->suspendSnap = 0;
  lawn->meshBuilt = FALSE;
  if (Length(secondCorner - firstCorner) < kMinWorldDrag) return CREATE_ABORT;
  const int dx = secondClick.x - firstClick.x, dy = secondClick.y - firstClick.y;
  if (static_cast<int>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy)) <= kMaxClickPixels)
    return CREATE_ABORT;
  IParamBlock2* pb = lawn->paramBlock;
  if (!pb) return CREATE_STOP;
  Interval iv = FOREVER;
  int singleMesh = TRUE, buildType = 0;
  pb->GetValue(lawn_single_mesh, 0, singleMesh, iv);
  if (singleMesh) return CREATE_STOP;
  pb->GetValue(lawn_build_type, 0, buildType, iv);
  // With Ctrl the lawn shows a square, so the separate objects cover that square, not the
  // rectangle as dragged.
  const Point3 far = square ? SquareCorner() : secondCorner;
  const MCHAR* name = lawn->GetObjectName();
  if (buildType == 0) ScatterBlades(pb, firstCorner, far, name, 0, lawn->heightMap, lawn->probabilityMap);
  else ScatterBundles(pb, firstCorner, far, name, 0, lawn->heightMap, lawn->probabilityMap);
  return CREATE_STOP;
}

int LawnCreateCallBack::proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) {
  if (msg == MOUSE_FREEMOVE) {
    if (vpt) vpt->SnapPreview(m, m, nullptr, SNAP_IN_PLANE);
    return CREATE_CONTINUE;
  }
  if (msg == MOUSE_ABORT) return CREATE_ABORT;
  if (msg != MOUSE_POINT && msg != MOUSE_MOVE) return CREATE_CONTINUE;
  if (!lawn || !vpt) return CREATE_ABORT;
  const bool square = (flags & MOUSE_CTRL) != 0;
  switch (point) {
    case 0:
      firstClick = m;
      lawn->suspendSnap = 1;
      firstCorner = vpt->SnapPoint(m, m, nullptr, SNAP_IN_PLANE);
      secondCorner = firstCorner + Point3(0.01f, 0.01f, 0.0f);
      mat.SetTrans(firstCorner);
      return CREATE_CONTINUE;
    case 1:
      secondClick = m;
      UpdateRectangle(vpt, m, square, mat);
      return msg == MOUSE_POINT ? Finish(square) : CREATE_CONTINUE;
    default: return CREATE_CONTINUE;
  }
}

LawnCreateCallBack& TheLawnCreateCallBack() {
  static LawnCreateCallBack cb;
  return cb;
}
