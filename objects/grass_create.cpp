#include "objects/grass_create.h"

#include "objects/grass_blade.h"
#include "objects/grass_bundle.h"
#include "sdk/core.h"
#include "sdk/paramblock.h"

namespace {
// A drag of 24 world units makes size 1 (a blade 7.5 units tall before bending).
constexpr float kDragPerSize = 24.0f;
// Parameter 0 of both blocks is "size".
constexpr ParamID kSize = 0;
}  // namespace

int SizeDragCreateCallBack::proc(ViewExp* vpt, int msg, int point, int /*flags*/, IPoint2 m, Matrix3& mat) {
  if (msg == MOUSE_ABORT) return CREATE_ABORT;
  if (msg != MOUSE_POINT && msg != MOUSE_MOVE) return CREATE_CONTINUE;
  if (!ob_ || !vpt) return CREATE_ABORT;
  // The time to set the size at: the open panel's interface, or the host's when no panel is open
  // (a creation driven without opening the panel must not crash).
  IObjParam* ip = *classIp_ ? *classIp_ : GetCOREInterface();
  const TimeValue now = ip ? ip->GetTime() : 0;
  IParamBlock2* pb = ob_->GetParamBlock(0);
  switch (point) {
    case 0:
      ob_->suspendSnap = TRUE;
      p0_ = vpt->SnapPoint(m, m, nullptr, SNAP_IN_PLANE);
      mat.SetTrans(p0_);
      if (pb) pb->SetValue(kSize, now, 0.0f);
      return CREATE_CONTINUE;
    case 1:
      ob_->suspendSnap = TRUE;
      p1_ = vpt->SnapPoint(m, m, nullptr, SNAP_IN_PLANE);
      if (pb) {
        pb->SetValue(kSize, now, Length(p1_ - p0_) / kDragPerSize);
        pb->GetDesc()->InvalidateUI();
      }
      return CREATE_CONTINUE;
    case 2: return CREATE_STOP;
    default: return CREATE_CONTINUE;
  }
}

GrassBladeCreateCallBack::GrassBladeCreateCallBack() : SizeDragCreateCallBack(&GrassBlade::ip) {}
GrassBundleCreateCallBack::GrassBundleCreateCallBack() : SizeDragCreateCallBack(&GrassBundle::ip) {}

GrassBladeCreateCallBack& TheGrassBladeCreateCallBack() {
  static GrassBladeCreateCallBack cb;
  return cb;
}

GrassBundleCreateCallBack& TheGrassBundleCreateCallBack() {
  static GrassBundleCreateCallBack cb;
  return cb;
}
