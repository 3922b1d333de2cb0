#include "sdk/parammap.h"

#include "sdk/core.h"
#include "sdk/custcont.h"
#include "sdk/paramblock.h"
#include "sdk/ui.h"
#include "sdk/window.h"

IParamMap2::IParamMap2(IParamBlock2* pblock, ParamBlockDesc2* desc, const RolloutDesc& rollout, HWND page,
                       int page_index)
    : pblock_(pblock), desc_(desc), rollout_(rollout), page_(page), page_index_(page_index), proc_(rollout.proc) {}

void IParamMap2::Invalidate(ParamID id) {
  TimeValue t = GetCOREInterface()->GetTime();
  for (int k = 0; k < desc_->Count(); ++k) {
    const ParamDef& d = *desc_->GetParamDefByIndex(k);
    if (d.map_id != rollout_.map_id || (id != -1 && d.id != id)) continue;
    switch (d.ui.type) {
      case TYPE_SPINNER:
        if (ISpinner* s = GetISpinner(GetDlgItem(page_, d.ui.ids[1]))) {
          s->SetValue(d.IsFloat() ? pblock_->GetFloat(d.id, t) : static_cast<float>(pblock_->GetInt(d.id, t)));
          ReleaseISpinner(s);
        }
        break;
      case TYPE_SINGLECHEKBOX:
        CheckDlgButton(page_, d.ui.ids[0], pblock_->GetInt(d.id, t) ? BST_CHECKED : BST_UNCHECKED);
        break;
      case TYPE_RADIO: {
        int v = pblock_->GetInt(d.id, t);
        for (int r = 0; r < d.NumControlIds(); ++r)
          CheckDlgButton(page_, d.ui.ids[r], r == v ? BST_CHECKED : BST_UNCHECKED);
        break;
      }
      case TYPE_TEXMAPBUTTON: {
        ReferenceTarget* map = nullptr;
        Interval iv = FOREVER;
        pblock_->GetRefTarget(d.id, t, map, iv);
        MSTR name = "None";
        if (map) map->GetClassName(name);
        SetWindowTextA(GetDlgItem(page_, d.ui.ids[0]), name);
        break;
      }
      case TYPE_NO_CONTROL: break;
    }
  }
}

INT_PTR IParamMap2::CallProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc_) return FALSE;
  return proc_->DlgProc(GetCOREInterface()->GetTime(), this, page_, msg, wParam, lParam);
}
