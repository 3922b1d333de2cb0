// The creation callbacks of GrassBlade and GrassBundle: the press places the object, the drag sets
// its size.
#pragma once
#include "sdk/mousecb.h"
#include "sdk/object.h"

class IObjParam;

// What both callbacks do. Press: anchor the object at the snapped point with size 0. Drag and
// release: size = distance from the press point / 24. Next event: stop.
class SizeDragCreateCallBack : public CreateMouseCallBack {
 public:
  // classIp: the class-wide interface pointer of the object's open panel (null while none is open).
  explicit SizeDragCreateCallBack(IObjParam* const* classIp) : classIp_(classIp) {}
  void SetObj(SimpleObject* obj) { ob_ = obj; }
  int proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) override;

 private:
  IObjParam* const* classIp_;
  SimpleObject* ob_ = nullptr;
  Point3 p0_;
  Point3 p1_;
};

// One instance serves every blade; GrassBlade::GetCreateMouseCallBack points it at its blade.
class GrassBladeCreateCallBack final : public SizeDragCreateCallBack {
 public:
  GrassBladeCreateCallBack();
};

// One instance serves every tuft; GrassBundle::GetCreateMouseCallBack points it at its tuft.
class GrassBundleCreateCallBack final : public SizeDragCreateCallBack {
 public:
  GrassBundleCreateCallBack();
};

GrassBladeCreateCallBack& TheGrassBladeCreateCallBack();
GrassBundleCreateCallBack& TheGrassBundleCreateCallBack();
