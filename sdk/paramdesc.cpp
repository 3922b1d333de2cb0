#include "sdk/paramdesc.h"

#include <algorithm>
#include <cstring>

#include "sdk/classdesc.h"
#include "sdk/parammap.h"

int ParamDef::NumControlIds() const {
  int n = 0;
  while (n < 4 && ui.ids[n] != 0) ++n;
  return n;
}

ParamBlockDesc2::ParamBlockDesc2(ParamBlockSpec spec) : spec_(std::move(spec)) {
  if (spec_.owner) spec_.owner->AddParamBlockDesc(this);
}

ParamBlockDesc2::~ParamBlockDesc2() {
  if (spec_.owner) spec_.owner->RemoveParamBlockDesc(this);
}

const ParamDef* ParamBlockDesc2::GetParamDefByIndex(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &spec_.params[static_cast<size_t>(index)];
}

const ParamDef* ParamBlockDesc2::GetParamDef(ParamID id) const { return GetParamDefByIndex(IDtoIndex(id)); }

const ParamDef* ParamBlockDesc2::GetParamDefByName(const char* int_name) const {
  if (!int_name) return nullptr;
  for (const ParamDef& d : spec_.params)
    if (std::strcmp(d.int_name, int_name) == 0) return &d;
  return nullptr;
}

int ParamBlockDesc2::IDtoIndex(ParamID id) const {
  for (size_t i = 0; i < spec_.params.size(); ++i)
    if (spec_.params[i].id == id) return static_cast<int>(i);
  return -1;
}

ParamID ParamBlockDesc2::IndextoID(int index) const {
  const ParamDef* d = GetParamDefByIndex(index);
  return d ? d->id : static_cast<ParamID>(-1);
}

const RolloutDesc* ParamBlockDesc2::GetRollout(int index) const {
  if (index < 0 || index >= NumRollouts()) return nullptr;
  return &spec_.rollouts[static_cast<size_t>(index)];
}

const RolloutDesc* ParamBlockDesc2::GetRolloutByMapID(MapID map_id) const {
  for (const RolloutDesc& r : spec_.rollouts)
    if (r.map_id == map_id) return &r;
  return nullptr;
}

void ParamBlockDesc2::SetUserDlgProc(MapID map_id, ParamMap2UserDlgProc* proc) {
  for (RolloutDesc& r : spec_.rollouts)
    if (r.map_id == map_id) r.proc = proc;
  for (IParamMap2* m : maps_)
    if (m->GetMapID() == map_id) m->SetUserDlgProc(proc);
}

ParamMap2UserDlgProc* ParamBlockDesc2::GetUserDlgProc(MapID map_id) const {
  const RolloutDesc* r = GetRolloutByMapID(map_id);
  return r ? r->proc : nullptr;
}

void ParamBlockDesc2::InvalidateUI(ParamID id) {
  for (IParamMap2* m : maps_) m->Invalidate(id);
}

void ParamBlockDesc2::AddMap(IParamMap2* map) { maps_.push_back(map); }

void ParamBlockDesc2::RemoveMap(IParamMap2* map) {
  maps_.erase(std::remove(maps_.begin(), maps_.end(), map), maps_.end());
}
