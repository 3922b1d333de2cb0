#include "sdk/classdesc.h"

#include <algorithm>

#include "sdk/module.h"
#include "sdk/panel.h"
#include "sdk/paramblock.h"
#include "sdk/parammap.h"
#include "sdk/ui.h"

namespace {
// The block of description pbd that obj holds, found by id, then in the description's slot.
IParamBlock2* BlockOf(ReferenceMaker* obj, ParamBlockDesc2* pbd) {
  if (!obj) return nullptr;
  if (IParamBlock2* pb = obj->GetParamBlockByID(pbd->ID()); pb && pb->GetDesc() == pbd) return pb;
  if (pbd->RefNo() >= 0 && pbd->RefNo() < obj->NumRefs()) {
    auto* pb = dynamic_cast<IParamBlock2*>(obj->GetReference(pbd->RefNo()));
    if (pb && pb->GetDesc() == pbd) return pb;
  }
  return nullptr;
}

// Limits, step and edit type of the spinners bound to parameters of one rollout.
void ConfigureControls(HWND page, const ParamBlockDesc2& pbd, MapID map_id) {
  for (int k = 0; k < pbd.Count(); ++k) {
    const ParamDef& d = *pbd.GetParamDefByIndex(k);
    if (d.map_id != map_id || d.ui.type != TYPE_SPINNER) continue;
    HWND edit = GetDlgItem(page, d.ui.ids[0]);
    HWND spin = GetDlgItem(page, d.ui.ids[1]);
    if (!spin) continue;
    spin->lo = d.range.lo;
    spin->hi = d.range.hi;
    spin->scale = d.ui.scale;
    spin->edit_type = d.ui.edit_type;
    spin->buddy = edit;
  }
}
}  // namespace

ClassDesc2::~ClassDesc2() = default;

void ClassDesc2::AddParamBlockDesc(ParamBlockDesc2* pbd) {
  if (pbd && std::find(descs_.begin(), descs_.end(), pbd) == descs_.end()) descs_.push_back(pbd);
}

void ClassDesc2::RemoveParamBlockDesc(ParamBlockDesc2* pbd) {
  descs_.erase(std::remove(descs_.begin(), descs_.end(), pbd), descs_.end());
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDesc(int i) const {
  return i >= 0 && i < NumParamBlockDescs() ? descs_[static_cast<size_t>(i)] : nullptr;
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDescByID(BlockID id) const {
  for (ParamBlockDesc2* d : descs_)
    if (d->ID() == id) return d;
  return nullptr;
}

void ClassDesc2::MakeAutoParamBlocks(ReferenceMaker* owner) {
  if (!owner) return;
  for (ParamBlockDesc2* d : descs_) {
    if (!(d->Flags() & P_AUTO_CONSTRUCT)) continue;
    IParamBlock2* pb = CreateParameterBlock2(d, owner);
    if (owner->ReplaceReference(d->RefNo(), pb) != REF_SUCCEED) pb->DeleteThis();
  }
}

void ClassDesc2::BeginEditParams(IObjParam* /*ip*/, ReferenceMaker* obj, ULONG /*flags*/, Animatable* /*prev*/) {
  HINSTANCE module = HInstance();
  const ResourceTable* res = module ? module->resources : nullptr;
  CommandPanel& panel = GetCommandPanel();
  std::vector<IParamMap2*> opened;
  for (ParamBlockDesc2* d : descs_) {
    if (!(d->Flags() & P_AUTO_UI)) continue;
    IParamBlock2* pb = BlockOf(obj, d);
    if (!pb) continue;
    for (int r = 0; r < d->NumRollouts(); ++r) {
      const RolloutDesc& ro = *d->GetRollout(r);
      const DialogTemplate* dlg = res ? res->FindDialog(ro.dialog) : nullptr;
      if (!dlg) continue;  // a class without its template gets no rollout
      char title[256];
      LoadStringA(module, static_cast<UINT>(ro.title), title, sizeof title);
      std::unique_ptr<HWND__> page = CreateDialogFromTemplate(*dlg);
      ConfigureControls(page.get(), *d, ro.map_id);
      auto map = std::make_unique<IParamMap2>(pb, d, ro, page.get(), panel.GetNumPanels());
      IParamMap2* m = map.get();
      panel.AddPage(title, std::move(page), !ro.rolled_up, std::move(map));
      d->AddMap(m);
      m->Invalidate();
      opened.push_back(m);
    }
  }
  // Every rollout exists before any procedure runs, so a procedure may reach its sibling pages.
  for (IParamMap2* m : opened) {
    if (ParamMap2UserDlgProc* proc = m->GetUserDlgProc()) proc->SetParamBlock(m->GetParamBlock());
    m->CallProc(WM_INITDIALOG, 0, 0);
    m->CallProc(WM_PAINT, 0, 0);
  }
}

void ClassDesc2::EndEditParams(IObjParam* /*ip*/, ReferenceMaker* obj, ULONG /*flags*/, Animatable* /*next*/) {
  for (ParamBlockDesc2* d : descs_)
    if (IParamBlock2* pb = BlockOf(obj, d)) GetCommandPanel().RemovePagesOf(pb);
}

void ClassDesc2::InvalidateUI() {
  for (ParamBlockDesc2* d : descs_) d->InvalidateUI();
}

void ClassDesc2::InvalidateUI(ParamBlockDesc2* pbd, ParamID id) {
  if (pbd) pbd->InvalidateUI(id);
}

void ClassDesc2::SetUserDlgProc(ParamMap2UserDlgProc* proc) {
  if (!descs_.empty()) SetUserDlgProc(descs_.front(), 0, proc);
}

void ClassDesc2::SetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id, ParamMap2UserDlgProc* proc) {
  if (pbd) pbd->SetUserDlgProc(map_id, proc);
}

IParamMap2* ClassDesc2::GetParamMap(ParamBlockDesc2* pbd, MapID map_id) {
  if (!pbd) return nullptr;
  for (IParamMap2* m : pbd->Maps())
    if (m->GetMapID() == map_id) return m;
  return nullptr;
}
