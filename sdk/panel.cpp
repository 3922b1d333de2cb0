#include "sdk/panel.h"

#include <algorithm>
#include <cmath>

#include "sdk/core.h"
#include "sdk/paramblock.h"
#include "sdk/ui.h"

CommandPanel::CommandPanel() {
  // The host's own pages come first: the class list and the name and colour of the object.
  for (const char* title : {"Object Type", "Name and Color"}) {
    auto wnd = std::make_unique<HWND__>();
    pages_.push_back(Page{title, std::move(wnd), TRUE, nullptr});
  }
}

CommandPanel::~CommandPanel() = default;

int CommandPanel::AddPage(const std::string& title, std::unique_ptr<HWND__> page, BOOL open,
                          std::unique_ptr<IParamMap2> map) {
  int index = static_cast<int>(pages_.size());
  if (map) map->SetRollupIndex(index);
  pages_.push_back(Page{title, std::move(page), open, std::move(map)});
  return index;
}

void CommandPanel::RemovePagesOf(const IParamBlock2* pblock) {
  std::vector<ParamMap2UserDlgProc*> procs;
  for (auto it = pages_.begin() + kHostPanelPages; it != pages_.end();) {
    if (it->map && it->map->GetParamBlock() == pblock) {
      it->map->GetDesc()->RemoveMap(it->map.get());
      ParamMap2UserDlgProc* proc = it->map->GetUserDlgProc();
      if (proc && std::find(procs.begin(), procs.end(), proc) == procs.end()) procs.push_back(proc);
      it = pages_.erase(it);
    } else {
      ++it;
    }
  }
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i].map) pages_[i].map->SetRollupIndex(static_cast<int>(i));
  for (ParamMap2UserDlgProc* proc : procs) proc->DeleteThis();
}

void CommandPanel::RemoveAllObjectPages() {
  while (static_cast<int>(pages_.size()) > kHostPanelPages) {
    Page& p = pages_.back();
    if (p.map) {
      RemovePagesOf(p.map->GetParamBlock());
    } else {
      pages_.pop_back();
    }
  }
}

IParamMap2* CommandPanel::GetMap(int index) {
  return index >= 0 && index < GetNumPanels() ? pages_[static_cast<size_t>(index)].map.get() : nullptr;
}

int CommandPanel::FindPageWithControl(int id, int from) {
  if (from >= 0) return GetDlgItem(GetPanelDlg(from), id) ? from : -1;
  for (int i = 0; i < GetNumPanels(); ++i)
    if (GetDlgItem(GetPanelDlg(i), id)) return i;
  return -1;
}

int CommandPanel::GetNumPanels() { return static_cast<int>(pages_.size()); }

HWND CommandPanel::GetPanelDlg(int index) {
  return index >= 0 && index < GetNumPanels() ? pages_[static_cast<size_t>(index)].wnd.get() : nullptr;
}

void CommandPanel::SetPanelOpen(int index, BOOL isOpen, BOOL) {
  if (index >= 0 && index < GetNumPanels()) pages_[static_cast<size_t>(index)].open = isOpen;
}

BOOL CommandPanel::IsPanelOpen(int index) {
  return index >= 0 && index < GetNumPanels() && pages_[static_cast<size_t>(index)].open;
}

const MCHAR* CommandPanel::GetPanelTitle(int index) {
  return index >= 0 && index < GetNumPanels() ? pages_[static_cast<size_t>(index)].title.c_str() : "";
}

CommandPanel& GetCommandPanel() {
  // Never destroyed, like the host: open pages may belong to plug-ins unloaded before exit.
  static CommandPanel* panel = new CommandPanel();
  return *panel;
}

namespace {
// The control a user action addresses, its map, and the parameter bound to it (or null).
struct Target {
  IParamMap2* map = nullptr;
  HWND wnd = nullptr;
  const ParamDef* def = nullptr;
};

Target Locate(int id, int page) {
  CommandPanel& panel = GetCommandPanel();
  Target t;
  int p = panel.FindPageWithControl(id, page);
  if (p < 0) return t;
  t.wnd = GetDlgItem(panel.GetPanelDlg(p), id);
  t.map = panel.GetMap(p);
  if (!t.map) return t;
  const ParamBlockDesc2* desc = t.map->GetDesc();
  for (int k = 0; k < desc->Count() && !t.def; ++k) {
    const ParamDef* d = desc->GetParamDefByIndex(k);
    if (d->map_id != t.map->GetMapID()) continue;
    for (int c = 0; c < d->NumControlIds(); ++c)
      if (d->ui.ids[c] == id) t.def = d;
  }
  return t;
}

WPARAM CommandWord(int id) { return static_cast<WPARAM>(static_cast<WORD>(id)); }
}  // namespace

BOOL UserClick(int id, int page) {
  Target tg = Locate(id, page);
  if (!tg.wnd || !tg.wnd->enabled) return FALSE;
  TimeValue t = GetCOREInterface()->GetTime();
  IParamBlock2* pb = tg.map ? tg.map->GetParamBlock() : nullptr;
  switch (tg.wnd->kind) {
    case ControlKind::kCheckBox:
      tg.wnd->checked = !tg.wnd->checked;
      if (tg.def && pb) pb->SetValue(tg.def->id, t, tg.wnd->checked ? TRUE : FALSE);
      break;
    case ControlKind::kRadioButton:
      if (tg.def && pb && tg.def->ui.type == TYPE_RADIO) {
        for (int r = 0; r < tg.def->NumControlIds(); ++r)
          if (tg.def->ui.ids[r] == id) pb->SetValue(tg.def->id, t, r);
      } else if (tg.wnd->parent) {
        for (auto& c : tg.wnd->parent->children)
          if (c->kind == ControlKind::kRadioButton) c->checked = c.get() == tg.wnd;
      }
      break;
    default: break;
  }
  if (tg.map) {
    if (tg.def) tg.map->Invalidate(tg.def->id);
    tg.map->CallProc(WM_COMMAND, CommandWord(id), reinterpret_cast<LPARAM>(tg.wnd));
  }
  return TRUE;
}

BOOL UserSetSpinner(int id, float value, int page) {
  Target tg = Locate(id, page);
  if (!tg.wnd || !tg.wnd->enabled) return FALSE;
  if (tg.wnd->kind == ControlKind::kCustEdit && tg.def) {
    tg.wnd = GetDlgItem(tg.wnd->parent, tg.def->ui.ids[1]);  // typed into the edit field
    if (!tg.wnd || !tg.wnd->enabled) return FALSE;
  }
  if (tg.wnd->kind != ControlKind::kSpinner) return FALSE;
  TimeValue t = GetCOREInterface()->GetTime();
  IParamBlock2* pb = tg.map ? tg.map->GetParamBlock() : nullptr;
  if (tg.def && pb) {
    BOOL ok =
        tg.def->IsFloat() ? pb->SetValue(tg.def->id, t, value) : pb->SetValue(tg.def->id, t, static_cast<int>(value));
    if (!ok) return FALSE;
    tg.map->Invalidate(tg.def->id);
  } else {
    if (!std::isfinite(value)) return FALSE;
    tg.wnd->value = std::clamp(value, tg.wnd->lo, tg.wnd->hi);
  }
  if (tg.map) tg.map->CallProc(CC_SPINNER_CHANGE, CommandWord(tg.wnd->id), reinterpret_cast<LPARAM>(tg.wnd));
  return TRUE;
}

BOOL UserDropMap(int id, ReferenceTarget* map, int page) {
  Target tg = Locate(id, page);
  if (!tg.wnd || !tg.wnd->enabled || !tg.def || tg.def->ui.type != TYPE_TEXMAPBUTTON) return FALSE;
  IParamBlock2* pb = tg.map->GetParamBlock();
  if (!pb->SetRefTarget(tg.def->id, GetCOREInterface()->GetTime(), map)) return FALSE;
  tg.map->Invalidate(tg.def->id);
  tg.map->CallProc(WM_COMMAND, CommandWord(id), reinterpret_cast<LPARAM>(tg.wnd));
  return TRUE;
}
