#include "sdk/ref.h"

#include <algorithm>

namespace {
// Removes one occurrence of v from list; TRUE when there was one.
template <class T>
bool EraseOne(std::vector<T*>& list, T* v) {
  auto it = std::find(list.begin(), list.end(), v);
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}
}  // namespace

ReferenceMaker::~ReferenceMaker() {
  // Virtual calls are gone by now, so the recorded list (not the slots) says what to let go of.
  std::vector<ReferenceTarget*> held;
  held.swap(held_);
  for (ReferenceTarget* t : held) {
    EraseOne(t->dependents_, static_cast<ReferenceMaker*>(this));
    t->MaybeAutoDelete();
  }
}

void ReferenceMaker::Release(ReferenceTarget* target, bool deleteIfOrphan) {
  if (!target || !EraseOne(held_, target)) return;
  EraseOne(target->dependents_, static_cast<ReferenceMaker*>(this));
  if (deleteIfOrphan) target->MaybeAutoDelete();
}

RefResult ReferenceMaker::ReplaceReference(int which, RefTargetHandle target, BOOL deleteOld) {
  if (which < 0 || which >= NumRefs()) return REF_FAIL;
  ReferenceTarget* old = GetReference(which);
  if (old == target) return REF_SUCCEED;
  SetReference(which, target);
  if (target) {
    target->dependents_.push_back(this);
    held_.push_back(target);
  }
  Release(old, deleteOld != FALSE);
  return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteReference(int which) {
  if (which < 0 || which >= NumRefs()) return REF_FAIL;
  ReferenceTarget* old = GetReference(which);
  if (!old) return REF_SUCCEED;
  SetReference(which, nullptr);
  Release(old, true);
  return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteAllRefs() {
  for (int i = 0; i < NumRefs(); ++i) DeleteReference(i);
  return REF_SUCCEED;
}

void ReferenceMaker::DeleteMe() {
  DeleteAllRefs();
  DeleteThis();
}

ReferenceTarget::~ReferenceTarget() {
  // Whoever still holds this target hears of its deletion and gets the slots emptied.
  std::vector<ReferenceMaker*> deps;
  deps.swap(dependents_);
  std::sort(deps.begin(), deps.end());
  deps.erase(std::unique(deps.begin(), deps.end()), deps.end());
  for (ReferenceMaker* d : deps) {
    while (EraseOne(d->held_, static_cast<ReferenceTarget*>(this))) {
    }
    PartID part = PART_ALL;
    d->NotifyRefChanged(FOREVER, this, part, REFMSG_TARGET_DELETED);
    for (int i = 0; i < d->NumRefs(); ++i)
      if (d->GetReference(i) == this) d->SetReference(i, nullptr);
  }
}

RefResult ReferenceTarget::NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                                            SClass_ID sclass, BOOL propagate, RefTargetHandle target) {
  std::vector<ReferenceMaker*> deps = dependents_;
  ReferenceTarget* from = target ? target : this;
  for (ReferenceMaker* d : deps) {
    // A dependent may have let go while an earlier one was being told.
    if (std::find(dependents_.begin(), dependents_.end(), d) == dependents_.end()) continue;
    if (sclass != NOTIFY_ALL && d->SuperClassID() != sclass) continue;
    PartID part = partID;
    RefResult r = d->NotifyRefChanged(changeInt, from, part, message);
    if (r == REF_SUCCEED && propagate) {
      if (auto* rt = dynamic_cast<ReferenceTarget*>(d))
        rt->NotifyDependents(changeInt, part, message, sclass, propagate);
    }
  }
  return REF_SUCCEED;
}

void ReferenceTarget::BaseClone(ReferenceTarget* /*from*/, ReferenceTarget* /*to*/, RemapDir& /*remap*/) {}

BOOL ReferenceTarget::MaybeAutoDelete() {
  if (!dependents_.empty()) return FALSE;
  DeleteThis();
  return TRUE;
}

RefTargetHandle RemapDir::CloneRef(RefTargetHandle target) {
  if (!target) return nullptr;
  auto it = map_.find(target);
  if (it != map_.end()) return it->second;
  ReferenceTarget* c = target->Clone(*this);
  map_[target] = c;
  return c;
}

RefTargetHandle RemapDir::FindMapping(RefTargetHandle target) const {
  auto it = map_.find(target);
  return it == map_.end() ? target : it->second;
}

RefTargetHandle CloneRefHierarchy(RefTargetHandle target) {
  RemapDir remap;
  return remap.CloneRef(target);
}
