#include "sdk/control.h"

#include <algorithm>

Point3 DefaultMatrix3Control::GetPosition(TimeValue t) const {
  if (keys_.empty()) return position_;
  if (t <= keys_.front().t) return keys_.front().p;
  if (t >= keys_.back().t) return keys_.back().p;
  const auto next =
      std::upper_bound(keys_.begin(), keys_.end(), t, [](TimeValue v, const PositionKey& k) { return v < k.t; });
  const PositionKey& a = *(next - 1);
  const PositionKey& b = *next;
  // Interpolate in double so a key's own time gives its value exactly; the tick differences are
  // taken in double too, since keys near both ends of the time line are further apart than an int holds.
  const double s = (static_cast<double>(t) - a.t) / (static_cast<double>(b.t) - a.t);
  return Point3(a.p.x + s * (b.p.x - a.p.x), a.p.y + s * (b.p.y - a.p.y), a.p.z + s * (b.p.z - a.p.z));
}

void DefaultMatrix3Control::SetPosition(const Point3& p) {
  keys_.clear();
  position_ = p;
  Changed();
}

void DefaultMatrix3Control::SetPositionKey(TimeValue t, const Point3& p) {
  auto at = std::lower_bound(keys_.begin(), keys_.end(), t, [](const PositionKey& k, TimeValue v) { return k.t < v; });
  if (at != keys_.end() && at->t == t) {
    at->p = p;
  } else {
    keys_.insert(at, PositionKey{t, p});
  }
  Changed();
}

void DefaultMatrix3Control::SetRotation(const Matrix3& r) {
  rotation_ = r;
  rotation_.NoTrans();
  Changed();
}

void DefaultMatrix3Control::SetScale(const Point3& s) {
  scale_ = s;
  Changed();
}

Matrix3 DefaultMatrix3Control::GetTM(TimeValue t, Interval* valid) const {
  if (valid != nullptr && !keys_.empty()) {
    // Constant outside the keys; between two keys the position changes at every tick.
    if (t <= keys_.front().t) {
      *valid &= Interval(TIME_NegInfinity, keys_.front().t);
    } else if (t >= keys_.back().t) {
      *valid &= Interval(keys_.back().t, TIME_PosInfinity);
    } else {
      *valid &= Interval(t, t);
    }
  }
  Matrix3 tm = ScaleMatrix(scale_) * rotation_;
  tm.SetTrans(GetPosition(t));
  return tm;
}

void DefaultMatrix3Control::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) {
  if (val == nullptr) return;
  Matrix3& m = *static_cast<Matrix3*>(val);
  const Matrix3 tm = GetTM(t, &valid);
  m = method == CTRL_RELATIVE ? tm * m : tm;
}

void DefaultMatrix3Control::SetValue(TimeValue t, void* val, int, GetSetMethod) {
  if (val == nullptr) return;
  const SetXFormPacket& packet = *static_cast<const SetXFormPacket*>(val);
  if (packet.command != XFORM_MOVE) return;
  const Point3 world = packet.tmAxis.VectorTransform(packet.p);
  const Point3 local = Inverse(packet.tmParent).VectorTransform(world);
  const Point3 moved = GetPosition(t) + local;
  if (keys_.empty()) {
    SetPosition(moved);
  } else {
    SetPositionKey(t, moved);
  }
}

ReferenceTarget* DefaultMatrix3Control::Clone(RemapDir& remap) {
  auto* c = new DefaultMatrix3Control();
  c->position_ = position_;
  c->keys_ = keys_;
  c->rotation_ = rotation_;
  c->scale_ = scale_;
  BaseClone(this, c, remap);
  return c;
}

void DefaultMatrix3Control::Changed() { NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE); }

Control* NewDefaultMatrix3Controller() { return new DefaultMatrix3Control(); }
