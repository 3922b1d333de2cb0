#include "objects/grass_blade_create.h"

#include "objects/grass_blade.h"
#include "plugin/plugin.h"
#include "sdk/core.h"

namespace {
// The time to set the size at: the open panel's interface, or the host's when no panel is open
// (a creation driven without opening the panel must not crash).
TimeValue CurrentTime() {
  IObjParam* ip = GrassBlade::ip ? GrassBlade::ip : GetCOREInterface();
  return ip ? ip->GetTime() : 0;
}

// A drag of 24 world units makes a blade of size 1 (7.5 units tall before bending).
constexpr float kDragPerSize = 24.0f;
}  // namespace

int GrassBladeCreateCallBack::proc(ViewExp* vpt, int msg, int point, int /*flags*/, IPoint2 m,
                                   Matrix3& mat) {
  if (msg == MOUSE_ABORT) return CREATE_ABORT;
  if (msg != MOUSE_POINT && msg != MOUSE_MOVE) return CREATE_CONTINUE;
  if (!ob_ || !vpt) return CREATE_ABORT;
  switch (point) {
    case 0:
      ob_->suspendSnap = TRUE;
      p0_ = vpt->SnapPoint(m, m, nullptr, SNAP_IN_PLANE);
      mat.SetTrans(p0_);
      if (ob_->pblock) ob_->pblock->SetValue(blade_size, CurrentTime(), 0.0f);
      return CREATE_CONTINUE;
    case 1:
      ob_->suspendSnap = TRUE;
      p1_ = vpt->SnapPoint(m, m, nullptr, SNAP_IN_PLANE);
      if (ob_->pblock) {
        ob_->pblock->SetValue(blade_size, CurrentTime(), Length(p1_ - p0_) / kDragPerSize);
        ob_->pblock->GetDesc()->InvalidateUI();
      }
      return CREATE_CONTINUE;
    case 2:
      return CREATE_STOP;
    default:
      return CREATE_CONTINUE;
  }
}

GrassBladeCreateCallBack& TheGrassBladeCreateCallBack() {
  static GrassBladeCreateCallBack cb;
  return cb;
}
