#include "sdk/paramblock.h"

#include <algorithm>
#include <cmath>

#include "sdk/core.h"

namespace {
float ClampToRange(const ParamDef& d, float v) { return std::clamp(v, d.range.lo, d.range.hi); }

int ClampToRange(const ParamDef& d, int v) {
  // Ranges are floats; an unbounded side leaves the int as it is.
  double lo = d.range.lo, hi = d.range.hi;
  double x = std::clamp(static_cast<double>(v), lo, hi);
  return static_cast<int>(x);
}

bool IsAnimatableFloat(const ParamDef& d) { return d.IsFloat() && (d.flags & P_ANIMATABLE) != 0; }

// The value of a key track at t and the interval over which it holds.
float TrackValue(const std::vector<ParamKey>& keys, TimeValue t, Interval& valid) {
  if (t <= keys.front().t) {
    valid &= Interval(TIME_NegInfinity, keys.front().t);
    return keys.front().value;
  }
  if (t >= keys.back().t) {
    valid &= Interval(keys.back().t, TIME_PosInfinity);
    return keys.back().value;
  }
  auto hi = std::upper_bound(keys.begin(), keys.end(), t, [](TimeValue a, const ParamKey& k) { return a < k.t; });
  auto lo = hi - 1;
  valid &= Interval(t, t);
  // Linear in between, in double so long spans do not lose the fraction; the tick differences are
  // taken in double too, since keys near both ends of the time line are further apart than an int holds.
  const double f = (static_cast<double>(t) - lo->t) / (static_cast<double>(hi->t) - lo->t);
  return static_cast<float>(lo->value + (hi->value - lo->value) * f);
}

void PutKey(std::vector<ParamKey>& keys, TimeValue t, float v) {
  auto it = std::lower_bound(keys.begin(), keys.end(), t, [](const ParamKey& k, TimeValue a) { return k.t < a; });
  if (it != keys.end() && it->t == t) it->value = v;
  else keys.insert(it, ParamKey{t, v});
}
}  // namespace

IParamBlock2::IParamBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner)
    : desc_(desc), owner_(owner), slots_(static_cast<size_t>(desc->Count())) {
  ResetAll();
}

IParamBlock2::~IParamBlock2() = default;

ReferenceMaker* IParamBlock2::GetOwner() const {
  const auto& deps = Dependents();
  if (owner_ && std::find(deps.begin(), deps.end(), owner_) != deps.end()) return owner_;
  return deps.empty() ? nullptr : deps.front();
}

void IParamBlock2::ResetAll() {
  for (int k = 0; k < desc_->Count(); ++k) {
    const ParamDef& d = *desc_->GetParamDefByIndex(k);
    Slot& s = slots_[static_cast<size_t>(k)];
    s.f = d.def.f;
    s.i = d.def.i;
    s.p = d.def.p;
    s.s = d.def.s ? d.def.s : "";
    s.keys.clear();
  }
}

IParamBlock2::Slot* IParamBlock2::Find(ParamID id, const ParamDef** def) {
  int k = desc_->IDtoIndex(id);
  if (k < 0) return nullptr;
  *def = desc_->GetParamDefByIndex(k);
  return &slots_[static_cast<size_t>(k)];
}

const IParamBlock2::Slot* IParamBlock2::Find(ParamID id, const ParamDef** def) const {
  return const_cast<IParamBlock2*>(this)->Find(id, def);
}

void IParamBlock2::Changed(ParamID id) {
  last_changed_ = id;
  NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue t, float& v, Interval& valid) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || !d->IsFloat()) return FALSE;
  v = s->keys.empty() ? s->f : TrackValue(s->keys, t, valid);
  return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, int& v, Interval&) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || !d->IsInt()) return FALSE;
  v = s->i;
  return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, Point3& v, Interval&) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || d->type != TYPE_POINT3) return FALSE;
  v = s->p;
  return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, const char*& v, Interval&) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || !d->IsString()) return FALSE;
  v = s->s.c_str();
  return TRUE;
}

BOOL IParamBlock2::GetRefTarget(ParamID id, TimeValue, ReferenceTarget*& v, Interval&) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || d->type != TYPE_TEXMAP) return FALSE;
  if (d->flags & P_OWNERS_REF) {
    ReferenceMaker* owner = GetOwner();
    v = owner ? owner->GetReference(d->owner_ref) : nullptr;
  } else {
    v = s->ref;
  }
  return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue t, float v) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || !d->IsFloat() || !std::isfinite(v)) return FALSE;
  v = ClampToRange(*d, v);
  if (IsAnimatableFloat(*d) && Animating()) {
    // The first key away from frame 0 also keys the old value at 0, so the value before the
    // change is kept where it was.
    if (s->keys.empty() && t != 0) PutKey(s->keys, 0, s->f);
    PutKey(s->keys, t, v);
  } else if (!s->keys.empty()) {
    // Outside animate mode a keyed track moves as a whole so that it passes through v at t.
    Interval iv = FOREVER;
    float delta = v - TrackValue(s->keys, t, iv);
    for (ParamKey& k : s->keys) k.value = ClampToRange(*d, k.value + delta);
  } else {
    s->f = v;
  }
  Changed(id);
  return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue t, int v) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s) return FALSE;
  if (d->IsFloat()) return SetValue(id, t, static_cast<float>(v));
  if (!d->IsInt()) return FALSE;
  s->i = ClampToRange(*d, v);
  Changed(id);
  return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, const Point3& v) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || d->type != TYPE_POINT3) return FALSE;
  if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return FALSE;
  s->p = Point3(ClampToRange(*d, v.x), ClampToRange(*d, v.y), ClampToRange(*d, v.z));
  Changed(id);
  return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, const char* v) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || !d->IsString()) return FALSE;
  s->s = v ? v : "";
  Changed(id);
  return TRUE;
}

BOOL IParamBlock2::SetRefTarget(ParamID id, TimeValue, ReferenceTarget* v) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || d->type != TYPE_TEXMAP) return FALSE;
  if (d->flags & P_OWNERS_REF) {
    ReferenceMaker* owner = GetOwner();
    if (!owner || owner->ReplaceReference(d->owner_ref, v) != REF_SUCCEED) return FALSE;
  } else if (ReplaceReference(desc_->IDtoIndex(id), v) != REF_SUCCEED) {
    return FALSE;
  }
  Changed(id);
  return TRUE;
}

float IParamBlock2::GetFloat(ParamID id, TimeValue t) {
  float v = 0.0f;
  Interval iv = FOREVER;
  GetValue(id, t, v, iv);
  return v;
}

int IParamBlock2::GetInt(ParamID id, TimeValue t) {
  int v = 0;
  Interval iv = FOREVER;
  GetValue(id, t, v, iv);
  return v;
}

Point3 IParamBlock2::GetPoint3(ParamID id, TimeValue t) {
  Point3 v;
  Interval iv = FOREVER;
  GetValue(id, t, v, iv);
  return v;
}

const char* IParamBlock2::GetStr(ParamID id, TimeValue t) {
  const char* v = "";
  Interval iv = FOREVER;
  GetValue(id, t, v, iv);
  return v;
}

int IParamBlock2::NumKeys(ParamID id) const {
  const ParamDef* d = nullptr;
  const Slot* s = Find(id, &d);
  return s ? static_cast<int>(s->keys.size()) : 0;
}

BOOL IParamBlock2::GetKey(ParamID id, int k, ParamKey& key) const {
  const ParamDef* d = nullptr;
  const Slot* s = Find(id, &d);
  if (!s || k < 0 || k >= static_cast<int>(s->keys.size())) return FALSE;
  key = s->keys[static_cast<size_t>(k)];
  return TRUE;
}

BOOL IParamBlock2::SetKey(ParamID id, TimeValue t, float v) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || !IsAnimatableFloat(*d) || !std::isfinite(v)) return FALSE;
  PutKey(s->keys, t, ClampToRange(*d, v));
  Changed(id);
  return TRUE;
}

void IParamBlock2::ClearKeys(ParamID id, TimeValue t) {
  const ParamDef* d = nullptr;
  Slot* s = Find(id, &d);
  if (!s || s->keys.empty()) return;
  Interval iv = FOREVER;
  s->f = TrackValue(s->keys, t, iv);
  s->keys.clear();
  Changed(id);
}

void IParamBlock2::CopyValuesFrom(const IParamBlock2& other) {
  if (other.desc_ != desc_) return;
  for (size_t k = 0; k < slots_.size(); ++k) {
    const Slot& o = other.slots_[k];
    Slot& s = slots_[k];
    s.f = o.f;
    s.i = o.i;
    s.p = o.p;
    s.s = o.s;
    s.keys = o.keys;
  }
}

RefTargetHandle IParamBlock2::GetReference(int i) {
  const ParamDef* d = desc_->GetParamDefByIndex(i);
  if (!d || d->type != TYPE_TEXMAP || (d->flags & P_OWNERS_REF)) return nullptr;
  return slots_[static_cast<size_t>(i)].ref;
}

void IParamBlock2::SetReference(int i, RefTargetHandle target) {
  const ParamDef* d = desc_->GetParamDefByIndex(i);
  if (!d || d->type != TYPE_TEXMAP || (d->flags & P_OWNERS_REF)) return;
  slots_[static_cast<size_t>(i)].ref = target;
}

ReferenceTarget* IParamBlock2::Clone(RemapDir& remap) {
  auto* copy = new IParamBlock2(desc_, nullptr);
  copy->CopyValuesFrom(*this);
  for (int i = 0; i < NumRefs(); ++i)
    if (ReferenceTarget* r = GetReference(i)) copy->ReplaceReference(i, remap.CloneRef(r));
  BaseClone(this, copy, remap);
  return copy;
}

IParamBlock2* CreateParameterBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner) {
  return desc ? new IParamBlock2(desc, owner) : nullptr;
}
