// The mower's gizmo: its matrix and outline, drawing, hit-testing and bounds in the viewports,
// the "Lawn Mower Center" sub-object and its move tool.
#include <cmath>

#include "mower/lawn_mower.h"
#include "mower/mower_state.h"
#include "sdk/node.h"

namespace {
// Pick box of gizmo hit tests, in pixels.
constexpr int kPickBox = 4;
// The outline's circle is drawn with the single-precision pi, stepped in double.
constexpr float kPi = 3.1415927f;
constexpr int kCirclePoints = 20;
}  // namespace

Matrix3 LawnMower::CompGizmoMatrix(TimeValue t, INode* node, ModContext* mc) {
  Matrix3 m;
  m.IdentityMatrix();
  Interval valid = FOREVER;
  if (gizmoControl != nullptr) gizmoControl->GetValue(t, &m, valid, CTRL_RELATIVE);
  if (mc != nullptr && mc->tm != nullptr) m = m * Inverse(*mc->tm);
  if (node != nullptr) m = m * node->GetObjectTM(t);
  return m;
}

void LawnMower::DrawGizmo(PolyLineProc& lp) {
  if (paramBlock == nullptr) return;
  // Sizes come from the host's current time, whatever time is being drawn.
  const TimeValue now = GetCOREInterface() != nullptr ? GetCOREInterface()->GetTime() : 0;
  if (paramBlock->GetInt(mower_shape, now) == 0) {
    const float w = paramBlock->GetFloat(mower_width, now);
    const float h = paramBlock->GetFloat(mower_height, now);
    const float x0 = w * -0.5f, x1 = w * 0.5f, y0 = h * -0.5f, y1 = h * 0.5f;
    Point3 pts[5] = {{x0, y0, 0.0f}, {x1, y0, 0.0f}, {x1, y1, 0.0f}, {x0, y1, 0.0f}, {x0, y0, 0.0f}};
    lp.proc(pts, 5);
    return;
  }
  const float r = paramBlock->GetFloat(mower_radius, now);
  Point3 pts[kCirclePoints + 1];
  for (int i = 0; i < kCirclePoints; ++i) {
    const double theta = i * static_cast<double>(kPi) / 10.0;
    pts[i] = Point3(std::sin(theta) * r, std::cos(theta) * r, 0.0);
  }
  pts[kCirclePoints] = pts[0];  // closed: the last point joins the first
  lp.proc(pts, kCirclePoints + 1);
}

void LawnMower::RememberContextBox(ModContext* mc) {
  if (mc == nullptr) return;
  if (mc->box == nullptr) {
    contextBox = nullptr;
    return;
  }
  contextBoxCopy_ = *mc->box;
  contextBox = &contextBoxCopy_;
}

int LawnMower::Display(TimeValue t, INode* node, ViewExp* vpt, int, ModContext* mc) {
  RememberContextBox(mc);
  const Matrix3 m = CompGizmoMatrix(t, node, mc);
  GraphicsWindow* gw = vpt != nullptr ? vpt->getGW() : nullptr;
  if (gw == nullptr) return 0;
  const DWORD limits = gw->getRndLimits();
  gw->setRndLimits(limits & ~GW_ILLUM);
  gw->setTransform(m);
  // The selected colour marks the gizmo of the mower being edited at its sub-object level.
  const MowerEditState& edit = EditState();
  const bool selected = edit.ip != nullptr && edit.mower == this && edit.ip->GetSubObjectLevel() == 1;
  const Point3 color = GetUIColor(selected ? COLOR_SEL_GIZMOS : COLOR_GIZMOS);
  DrawLineProc lp(gw);
  lp.SetLineColor(color.x, color.y, color.z);
  DrawGizmo(lp);
  gw->setRndLimits(limits);
  return 0;
}

int LawnMower::HitTest(TimeValue t, INode* node, int type, int crossing, int, IPoint2* p, ViewExp* vpt,
                       ModContext* mc) {
  GraphicsWindow* gw = vpt != nullptr ? vpt->getGW() : nullptr;
  if (gw == nullptr) return 0;
  HitRegion region;
  MakeHitRegion(region, type, crossing, kPickBox, p);
  gw->setHitRegion(&region);
  const DWORD limits = gw->getRndLimits();
  gw->setRndLimits((limits & ~GW_ILLUM) | GW_PICK);
  gw->setTransform(CompGizmoMatrix(t, node, mc));
  gw->clearHitCode();
  DrawLineProc lp(gw);
  DrawGizmo(lp);
  gw->setRndLimits(limits);
  if (!gw->checkHitCode()) return 0;
  vpt->LogHit(node, mc, gw->getHitDistance(), 0);
  return 1;
}

void LawnMower::GetWorldBoundBox(TimeValue t, INode* node, ViewExp*, Box3& box, ModContext* mc) {
  RememberContextBox(mc);
  const Matrix3 m = CompGizmoMatrix(t, node, mc);
  BoxLineProc lp(&m);
  DrawGizmo(lp);
  box = lp.Box();
}

void LawnMower::GetSubObjectCenters(SubObjAxisCallback* cb, TimeValue t, INode* node, ModContext* mc) {
  RememberContextBox(mc);
  const Matrix3 m = CompGizmoMatrix(t, node, mc);
  if (cb != nullptr) cb->Center(m.GetTrans(), 0);
}

void LawnMower::GetSubObjectTMs(SubObjAxisCallback* cb, TimeValue t, INode* node, ModContext* mc) {
  RememberContextBox(mc);
  const Matrix3 m = CompGizmoMatrix(t, node, mc);
  if (cb != nullptr) cb->TM(m, 0);
}

void LawnMower::Move(TimeValue t, Matrix3& partm, Matrix3& tmAxis, Point3& val, BOOL) {
  if (gizmoControl == nullptr) return;
  // Each step is clamped, component by component, to the object's box: a drag step never goes
  // further than the box reaches from the origin.
  Point3 offset = val;
  if (contextBox != nullptr) {
    for (int k = 0; k < 3; ++k) {
      if (offset[k] < contextBox->pmin[k]) offset[k] = contextBox->pmin[k];
      if (offset[k] > contextBox->pmax[k]) offset[k] = contextBox->pmax[k];
    }
  }
  SetXFormPacket packet(offset, partm, tmAxis);
  gizmoControl->SetValue(t, &packet, TRUE, CTRL_RELATIVE);
}

void LawnMower::ActivateSubobjSel(int level, XFormModes& modes) {
  if (level == 1) modes = XFormModes(EditState().moveMode, nullptr, nullptr, nullptr, nullptr, nullptr);
  NotifyDependents(FOREVER, PART_DISPLAY, REFMSG_CHANGE);
}

ISubObjType* LawnMower::GetSubObjType(int i) {
  if (i != 0) return nullptr;
  GenSubObjType& type = MowerSubObjType();
  if (type.GetName()[0] == '\0') type.SetName(kMowerCenterName);
  return &type;
}
