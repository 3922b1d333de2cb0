#include "app/serve_panels.h"

#include <cmath>

#include "app/errors.h"
#include "sdk/core.h"
#include "sdk/panel.h"
#include "sdk/paramblock.h"
#include "sdk/texmap.h"
#include "sdk/ui.h"
#include "sdk/window.h"

using nlohmann::json;

namespace {

constexpr ULONG kBeginEditModify = 0;
constexpr ULONG kEndEditRemoveUI = 1;
constexpr int kBaseUnitX = 6, kBaseUnitY = 13;

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic: return "static";
    case ControlKind::kGroupBox: return "groupbox";
    case ControlKind::kCustEdit: return "edit";
    case ControlKind::kSpinner: return "spinner";
    case ControlKind::kCustButton: return "button";
    case ControlKind::kCheckBox: return "checkbox";
    case ControlKind::kRadioButton: return "radio";
    case ControlKind::kPushButton: return "pushbutton";
  }
  return "unknown";
}

const char* TypeName(const ParamDef& d) {
  switch (d.type) {
    case TYPE_FLOAT:
    case TYPE_ANGLE:
    case TYPE_WORLD: return "float";
    case TYPE_INT: return "int";
    case TYPE_BOOL: return "bool";
    case TYPE_POINT3: return "point3";
    case TYPE_STRING:
    case TYPE_FILENAME: return "string";
    case TYPE_TEXMAP: return "texmap";
  }
  return "unknown";
}

// The parameter of the page's map bound to control id, or null.
const ParamDef* BoundParam(IParamMap2* map, int id) {
  if (!map || id == IDC_STATIC) return nullptr;
  const ParamBlockDesc2* desc = map->GetDesc();
  for (int k = 0; k < desc->Count(); ++k) {
    const ParamDef* d = desc->GetParamDefByIndex(k);
    if (d->map_id != map->GetMapID()) continue;
    for (int c = 0; c < d->NumControlIds(); ++c)
      if (d->ui.ids[c] == id) return d;
  }
  return nullptr;
}

json Rect(int x, int y, int w, int h) { return json::array({x, y, w, h}); }

json DescribeControl(const HWND__& c, IParamMap2* map) {
  json out = {{"id", c.id == IDC_STATIC ? json(nullptr) : json(c.id)},
              {"kind", KindName(c.kind)},
              {"text", c.text},
              {"rect", Rect(c.x, c.y, c.w, c.h)},
              {"px", Rect(DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y), DialogUnitsToPixelsX(c.w),
                          DialogUnitsToPixelsY(c.h))},
              {"enabled", c.enabled}};
  if (c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kRadioButton) out["checked"] = c.checked;
  if (c.kind == ControlKind::kSpinner) {
    // Unbounded limits are FLT_MAX, which JSON carries as an ordinary number.
    out["value"] = c.value;
    out["min"] = c.lo;
    out["max"] = c.hi;
    out["scale"] = c.scale;
    out["editType"] = c.edit_type;
    if (c.buddy) out["edit"] = c.buddy->id;
  }
  if (const ParamDef* d = BoundParam(map, c.id))
    out["param"] = {{"id", d->id}, {"name", d->int_name}, {"type", TypeName(*d)}};
  return out;
}

std::string Named(int id, int page) {
  return "control " + std::to_string(id) + (page >= 0 ? " of page " + std::to_string(page) : std::string());
}

}  // namespace

int DialogUnitsToPixelsX(int du) { return static_cast<int>(std::lround(du * kBaseUnitX / 4.0)); }
int DialogUnitsToPixelsY(int du) { return static_cast<int>(std::lround(du * kBaseUnitY / 8.0)); }

void PanelEditor::Open(INode* node, int entry) {
  Animatable* target = nullptr;
  if (node && entry == 0) target = node->GetObjectRef();
  if (node && entry > 0 && entry <= node->NumModifiers()) target = node->GetModifier(entry - 1);
  if (node == node_ && entry == entry_ && target == edited_) return;
  Close();
  node_ = node;
  entry_ = entry;
  edited_ = target;
  if (edited_) edited_->BeginEditParams(GetCOREInterface(), kBeginEditModify, nullptr);
}

void PanelEditor::Close() {
  if (edited_) edited_->EndEditParams(GetCOREInterface(), kEndEditRemoveUI, nullptr);
  node_ = nullptr;
  entry_ = 0;
  edited_ = nullptr;
}

void PanelEditor::Refresh() {
  CommandPanel& panel = GetCommandPanel();
  for (int p = kHostPanelPages; p < panel.GetNumPanels(); ++p)
    if (IParamMap2* map = panel.GetMap(p)) map->Invalidate();
}

json PanelEditor::Describe() const {
  CommandPanel& panel = GetCommandPanel();
  json rollouts = json::array();
  for (int p = kHostPanelPages; p < panel.GetNumPanels(); ++p) {
    const HWND__* page = panel.GetPanelDlg(p);
    IParamMap2* map = panel.GetMap(p);
    json controls = json::array();
    for (const auto& c : page->children) controls.push_back(DescribeControl(*c, map));
    rollouts.push_back({{"page", p},
                        {"title", panel.GetPanelTitle(p)},
                        {"open", panel.IsPanelOpen(p) != FALSE},
                        {"dialog", page->dialog},
                        {"size", {page->w, page->h}},
                        {"px", {DialogUnitsToPixelsX(page->w), DialogUnitsToPixelsY(page->h)}},
                        {"controls", controls}});
  }
  return rollouts;
}

void PanelEditor::Act(int id, int page, const json& action, const MapMaker& makeMap) {
  CommandPanel& panel = GetCommandPanel();
  if (page >= 0 && (page < kHostPanelPages || page >= panel.GetNumPanels()))
    throw InputError("there is no page " + std::to_string(page) + " in the open panels (pages " +
                     std::to_string(kHostPanelPages) + " to " + std::to_string(panel.GetNumPanels() - 1) + ")");
  const int p = panel.FindPageWithControl(id, page);
  HWND wnd = p >= kHostPanelPages ? GetDlgItem(panel.GetPanelDlg(p), id) : nullptr;
  if (!wnd) throw InputError("there is no " + Named(id, page) + " in the open panels");
  if (!wnd->enabled) throw InputError(Named(id, p) + " is disabled");
  const std::string what = Named(id, p) + " (" + KindName(wnd->kind) + ")";
  if (action.contains("value")) {
    if (!action["value"].is_number()) throw InputError(what + ": \"value\" must be a number");
    const bool spin = wnd->kind == ControlKind::kSpinner || wnd->kind == ControlKind::kCustEdit;
    if (!spin) throw InputError(what + " takes no value");
    if (!UserSetSpinner(id, action["value"].get<float>(), p))
      throw InputError(what + " refused the value " + action["value"].dump());
  } else if (action.contains("map")) {
    const ParamDef* d = BoundParam(panel.GetMap(p), id);
    if (!d || d->ui.type != TYPE_TEXMAPBUTTON) throw InputError(what + " is not a map button");
    Texmap* map = action["map"].is_null() ? nullptr : makeMap(action["map"]);
    if (!UserDropMap(id, map, p)) {
      if (map) map->DeleteThis();
      throw InputError(what + " refused the map");
    }
  } else {
    const bool clickable = wnd->kind == ControlKind::kCheckBox || wnd->kind == ControlKind::kRadioButton ||
                           wnd->kind == ControlKind::kCustButton || wnd->kind == ControlKind::kPushButton;
    if (!clickable)
      throw InputError(what + " cannot be clicked" +
                       (wnd->kind == ControlKind::kSpinner ? "; give it a \"value\"" : ""));
    UserClick(id, p);
  }
}

void PanelEditor::SetPageOpen(int page, bool open) {
  CommandPanel& panel = GetCommandPanel();
  if (page < kHostPanelPages || page >= panel.GetNumPanels())
    throw InputError("there is no page " + std::to_string(page) + " in the open panels");
  panel.SetPanelOpen(page, open ? TRUE : FALSE);
}
