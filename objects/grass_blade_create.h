// The creation callback of GrassBlade: the press places the blade, the drag sets its size.
#pragma once
#include "sdk/mousecb.h"

class GrassBlade;

// One instance serves every blade; GrassBlade::GetCreateMouseCallBack points it at its blade.
class GrassBladeCreateCallBack : public CreateMouseCallBack {
 public:
  void SetObj(GrassBlade* obj) { ob_ = obj; }
  // Press: anchor the blade at the snapped point with size 0. Drag and release: size = distance
  // from the press point / 24. Next event: stop.
  int proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) override;

 private:
  GrassBlade* ob_ = nullptr;
  Point3 p0_;
  Point3 p1_;
};

GrassBladeCreateCallBack& TheGrassBladeCreateCallBack();
