#include "app/scene_restore.h"

#include <filesystem>

#include "app/class_lookup.h"
#include "app/errors.h"
#include "app/path_policy.h"
#include "app/scene_parts.h"
#include "app/warnings.h"
#include "sdk/core.h"
#include "sdk/paramblock.h"

using nlohmann::json;

namespace {

const json& Required(const json& entry, const char* key, const std::string& where) {
  if (!entry.contains(key)) throw InputError(where + ": a saved node needs \"" + key + "\"");
  return entry[key];
}

std::string Name(const json& entry, const char* key, const std::string& where) {
  const json& v = Required(entry, key, where);
  if (!v.is_string()) throw InputError(where + ": \"" + key + "\" must be a string");
  return v.get<std::string>();
}

INode* RestoreGroup(const json& entry, const std::string& where, const std::string& baseDir) {
  CheckKeys(entry, {"group", "transform", "nodes"}, where);
  // A group may be empty: a lawn whose probability map keeps nothing scatters an empty group.
  const json& members = Required(entry, "nodes", where);
  if (!members.is_array()) throw InputError(where + ": a saved group needs its \"nodes\" list");
  INodeTab tab;
  for (std::size_t i = 0; i < members.size(); ++i) {
    INode* child = RestoreEntry(members[i], where + ".nodes[" + std::to_string(i) + "]", baseDir);
    tab.Append(1, &child);
  }
  const std::string saved = Name(entry, "group", where);
  MSTR name(saved);
  INode* head = GetCOREInterface()->GroupNodes(&tab, &name, FALSE);
  head->SetName(saved.c_str());  // the saved name as it was, not one made unique again
  if (entry.contains("transform")) head->SetNodeTM(0, ParseTransform(entry["transform"], where));
  return head;
}

void RestoreModifier(INode* node, const json& m, const std::string& where, const std::string& baseDir) {
  CheckKeys(m, {"class", "params", "gizmo"}, where);
  ClassDesc* cd = FindClassOrThrow(Name(m, "class", where), where);
  PendingObject pending{cd->SuperClassID() == OSM_CLASS_ID ? cd->Create(TRUE) : nullptr};
  auto* mod = dynamic_cast<Modifier*>(pending.obj);
  if (!mod) throw InputError(where + ": class \"" + ClassKey(cd) + "\" is not a modifier");
  ApplyParams(mod, m.value("params", json::object()), ParamSource{where, baseDir});
  if (m.contains("gizmo") && !m["gizmo"].is_null()) ApplyGizmo(mod, m["gizmo"], where);
  LoadObject(mod);
  node->AddModifier(mod, 0);
  pending.obj = nullptr;
}

// A lawn saved with its vector field on reloads the field after Load. A relative path starts from
// the scene's folder, as bitmap paths do, and the lawn is given the resolved path. A field file that
// has gone does not keep the user from their scene: the lawn loads without field data (unbent
// blades) and one warning names the file. A field that is there but no regular file, or that lies
// outside the scene's folder, is refused.
void CheckSavedVectorField(Animatable* obj, const std::string& baseDir, const std::string& where) {
  IParamBlock2* block = obj->NumParamBlocks() > 0 ? obj->GetParamBlock(0) : nullptr;
  const ParamDef* name = block ? block->GetDesc()->GetParamDefByName("vectormap name") : nullptr;
  const ParamDef* enabled = block ? block->GetDesc()->GetParamDefByName("VectormapEnabled") : nullptr;
  if (!name || !enabled || !block->GetInt(enabled->id, 0)) return;
  const char* saved = block->GetStr(name->id, 0);
  if (!saved || !*saved) return;
  const std::string path = SceneFile(saved, baseDir, "vector field", where);
  block->SetValue(name->id, 0, path.c_str());
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec)
    Warn(where + ": the vector field '" + path + "' is missing; the lawn is built without it");
  else CheckReadableFile(path, "vector field", where);
}

}  // namespace

INode* RestoreEntry(const json& entry, const std::string& where, const std::string& baseDir) {
  if (!entry.is_object()) throw InputError(where + ": a saved node must be an object");
  if (entry.contains("group")) return RestoreGroup(entry, where, baseDir);
  CheckKeys(entry, {"class", "name", "transform", "params", "modifiers"}, where);
  ClassDesc* cd = FindClassOrThrow(Name(entry, "class", where), where);
  const std::string at = where + " (" + ClassKey(cd) + ")";
  PendingObject pending{cd->SuperClassID() == GEOMOBJECT_CLASS_ID ? cd->Create(TRUE) : nullptr};
  auto* obj = dynamic_cast<Object*>(pending.obj);
  if (!obj) throw InputError(at + ": this class is not an object");
  ApplyParams(obj, entry.value("params", json::object()), ParamSource{at, baseDir});
  CheckSavedVectorField(obj, baseDir, at);
  INode* node = GetCOREInterface()->CreateObjectNode(obj);
  pending.obj = nullptr;
  node->SetName(Name(entry, "name", at).c_str());
  node->SetNodeTM(0, ParseTransform(Required(entry, "transform", at), at));
  LoadObject(obj);
  ReportPluginLog(at);
  const json mods = entry.value("modifiers", json::array());
  if (!mods.is_array()) throw InputError(at + ": \"modifiers\" must be a list");
  for (std::size_t i = 0; i < mods.size(); ++i)
    RestoreModifier(node, mods[i], at + ".modifiers[" + std::to_string(i) + "]", baseDir);
  return node;
}
