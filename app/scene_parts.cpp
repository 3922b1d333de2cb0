#include "app/scene_parts.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "app/errors.h"
#include "app/json_file.h"
#include "app/scene_texmaps.h"
#include "app/suggest.h"
#include "sdk/control.h"
#include "sdk/ioapi.h"
#include "sdk/paramblock.h"

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

IParamBlock2* BlockOf(Animatable* obj) { return obj->NumParamBlocks() > 0 ? obj->GetParamBlock(0) : nullptr; }

double Frame(TimeValue t) { return double(t) / GetTicksPerFrame(); }

ordered_json PointJson(const Point3& p) {
  return ordered_json::array({ShortestDouble(p.x), ShortestDouble(p.y), ShortestDouble(p.z)});
}

DefaultMatrix3Control* GizmoOf(Modifier* mod) {
  for (int i = 0; i < mod->NumRefs(); ++i)
    if (auto* c = dynamic_cast<DefaultMatrix3Control*>(mod->GetReference(i))) return c;
  return nullptr;
}

}  // namespace

void CheckKeys(const json& object, std::initializer_list<const char*> allowed, const std::string& where) {
  std::vector<std::string> names(allowed.begin(), allowed.end());
  for (const auto& [key, value] : object.items()) {
    if (std::find(names.begin(), names.end(), key) != names.end()) continue;
    std::string message = where + ": unknown key \"" + key + "\"";
    const std::vector<std::string> near = NearestNames(key, names, 2);
    message +=
        near.empty() ? " (allowed: " + QuotedList(names, ", ") + ")" : "; did you mean " + QuotedList(near) + "?";
    throw InputError(message);
  }
}

void ApplyParams(Animatable* obj, const json& params, const ParamSource& src) {
  if (!params.is_object()) throw InputError(src.where + ": \"params\" must be an object of parameter values");
  IParamBlock2* block = BlockOf(obj);
  if (!block) {
    if (params.empty()) return;
    throw InputError(src.where + ": this class has no parameters");
  }
  std::vector<std::pair<const ParamDef*, const json*>> todo;
  for (const auto& [key, value] : params.items()) {
    const ParamDef& def = FindParam(*block->GetDesc(), key, src);
    for (const auto& [done, unused] : todo)
      if (done == &def)
        throw InputError(src.where + ": parameter \"" + std::string(def.int_name) + "\" (id " + std::to_string(def.id) +
                         ") is given twice");
    todo.emplace_back(&def, &value);
  }
  std::stable_sort(todo.begin(), todo.end(), [](const auto& a, const auto& b) {
    const bool mapA = a.first->type == TYPE_TEXMAP, mapB = b.first->type == TYPE_TEXMAP;
    return mapA != mapB ? mapA : a.first->id < b.first->id;
  });
  for (const auto& [def, value] : todo) SetParamFromJson(*block, *def, *value, src);
}

ordered_json SaveParams(Animatable* obj) {
  ordered_json out = ordered_json::object();
  IParamBlock2* block = BlockOf(obj);
  if (!block) return out;
  const ParamBlockDesc2& desc = *block->GetDesc();
  // In id order, whatever order the block was defined in, so saved files read and diff alike.
  std::vector<const ParamDef*> defs;
  for (int i = 0; i < desc.Count(); ++i) defs.push_back(desc.GetParamDefByIndex(i));
  std::stable_sort(defs.begin(), defs.end(), [](const ParamDef* a, const ParamDef* b) { return a->id < b->id; });
  for (const ParamDef* def : defs) {
    const ParamDef& d = *def;
    if (d.flags & P_TRANSIENT) continue;
    ordered_json value;
    if (d.IsFloat() && block->NumKeys(d.id) > 0) {
      ordered_json keys = ordered_json::array();
      for (int k = 0; k < block->NumKeys(d.id); ++k) {
        ParamKey key;
        block->GetKey(d.id, k, key);
        keys.push_back({Frame(key.t), ShortestDouble(key.value)});
      }
      value = {{"keys", keys}};
    } else if (d.IsFloat()) {
      value = ShortestDouble(block->GetFloat(d.id, 0));
    } else if (d.type == TYPE_BOOL) {
      value = block->GetInt(d.id, 0) != 0;
    } else if (d.type == TYPE_INT) {
      value = block->GetInt(d.id, 0);
    } else if (d.IsString()) {
      value = block->GetStr(d.id, 0);
    } else if (d.type == TYPE_POINT3) {
      value = PointJson(block->GetPoint3(d.id, 0));
    } else if (d.type == TYPE_TEXMAP) {
      value = ordered_json(DescribeTexmap(block->GetTexmap(d.id, 0)));
    }
    out[std::to_string(d.id)] = value;
  }
  return out;
}

Point3 ParsePoint(const json& v, const std::string& where) {
  // Coordinates are single precision: larger numbers would turn into infinities in the meshes.
  const bool ok = v.is_array() && v.size() == 3 && std::all_of(v.begin(), v.end(), [](const json& c) {
                    return c.is_number() && std::fabs(c.get<double>()) <= 3.0e38;
                  });
  if (!ok) throw InputError(where + ": expected [x, y, z] (finite numbers), not " + v.dump());
  return Point3(v[0].get<double>(), v[1].get<double>(), v[2].get<double>());
}

Matrix3 ParseTransform(const json& rows, const std::string& where) {
  if (!rows.is_array() || rows.size() != 4)
    throw InputError(where + ": \"transform\" must be four rows [x, y, z]: three axes and the translation");
  Matrix3 m;
  for (int r = 0; r < 4; ++r) m.SetRow(r, ParsePoint(rows[r], where + ": \"transform\" row " + std::to_string(r)));
  return m;
}

ordered_json TransformJson(const Matrix3& m) {
  ordered_json rows = ordered_json::array();
  for (int r = 0; r < 4; ++r) rows.push_back(PointJson(m[r]));
  return rows;
}

void ApplyGizmo(Modifier* mod, const json& gizmo, const std::string& where) {
  DefaultMatrix3Control* control = GizmoOf(mod);
  if (!control) throw InputError(where + ": this modifier has no gizmo");
  if (!gizmo.is_object()) throw InputError(where + ": \"gizmo\" must be {\"position\": ...}");
  CheckKeys(gizmo, {"position"}, where + ": gizmo");
  if (!gizmo.contains("position")) return;
  const json& pos = gizmo["position"];
  if (!pos.is_object()) {
    control->SetPosition(ParsePoint(pos, where + ": gizmo position"));
    return;
  }
  CheckKeys(pos, {"keys"}, where + ": gizmo position");
  const json& keys = pos.value("keys", json());
  if (!keys.is_array() || keys.empty())
    throw InputError(where + ": gizmo position keys must be a non-empty list of [frame, [x, y, z]]");
  std::set<TimeValue> times;
  for (const json& k : keys) {
    if (!k.is_array() || k.size() != 2)
      throw InputError(where + ": each gizmo key must be [frame, [x, y, z]], not " + k.dump());
    const TimeValue t = FrameToTicks(k[0], where + ": gizmo key");
    // A second key at the same tick would silently replace the first.
    if (!times.insert(t).second)
      throw InputError(where + ": the gizmo has two position keys at frame " + k[0].dump() +
                       " (keys fall on ticks of 1/" + std::to_string(GetTicksPerFrame()) + " frame)");
    control->SetPositionKey(t, ParsePoint(k[1], where + ": gizmo key"));
  }
}

ordered_json SaveGizmo(Modifier* mod) {
  DefaultMatrix3Control* control = GizmoOf(mod);
  if (!control) return nullptr;
  if (control->PositionKeys().empty()) return {{"position", PointJson(control->GetPosition(0))}};
  ordered_json keys = ordered_json::array();
  for (const PositionKey& k : control->PositionKeys()) keys.push_back({Frame(k.t), PointJson(k.p)});
  return {{"position", {{"keys", keys}}}};
}

void LoadObject(ReferenceMaker* obj) {
  ILoad iload;
  if (obj->Load(&iload) != IO_OK) throw InputError("an object refused to load");
  iload.RunPostLoadCallbacks();
}
