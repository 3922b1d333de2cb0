#include "app/scene_save.h"

#include "app/class_lookup.h"
#include "app/errors.h"
#include "app/json_file.h"
#include "app/scene_parts.h"
#include "sdk/classdir.h"
#include "sdk/core.h"

using nlohmann::ordered_json;

namespace {

std::string ClassOf(ReferenceTarget* obj) {
  ClassDesc* cd = GetClassDirectory().FindClass(obj->SuperClassID(), obj->ClassID());
  if (!cd) {
    MSTR name;
    obj->GetClassName(name);
    throw InputError(std::string("cannot save an object of class \"") + name.data() +
                     "\": no loaded plug-in offers it");
  }
  return ClassKey(cd);
}

ordered_json SaveNode(INode* node) {
  if (node->IsGroupHead()) {
    ordered_json members = ordered_json::array();
    for (int i = 0; i < node->NumberOfChildren(); ++i) members.push_back(SaveNode(node->GetChildNode(i)));
    return {{"group", node->GetName()}, {"transform", TransformJson(node->GetNodeTM(0))}, {"nodes", members}};
  }
  Object* obj = node->GetObjectRef();
  if (!obj) throw InputError(std::string("cannot save node \"") + node->GetName() + "\": it holds no object");
  ordered_json out = {{"class", ClassOf(obj)},
                      {"name", node->GetName()},
                      {"transform", TransformJson(node->GetNodeTM(0))},
                      {"params", SaveParams(obj)}};
  if (node->NumModifiers() > 0) {
    ordered_json mods = ordered_json::array();
    for (int i = 0; i < node->NumModifiers(); ++i) {
      Modifier* mod = node->GetModifier(i);
      ordered_json m = {{"class", ClassOf(mod)}, {"params", SaveParams(mod)}};
      ordered_json gizmo = SaveGizmo(mod);
      if (!gizmo.is_null()) m["gizmo"] = gizmo;
      mods.push_back(m);
    }
    out["modifiers"] = mods;
  }
  return out;
}

// The JSON pointer of the first string in `value` (keys included) that is not UTF-8, or "".
std::string FirstNonUtf8(const nlohmann::ordered_json& value, const std::string& at) {
  const auto bad = [](const std::string& text) {
    try {
      (void)nlohmann::ordered_json(text).dump();
      return false;
    } catch (const nlohmann::json::type_error&) {
      return true;
    }
  };
  if (value.is_string()) return bad(value.get<std::string>()) ? at : "";
  if (value.is_array()) {
    for (std::size_t i = 0; i < value.size(); ++i)
      if (std::string p = FirstNonUtf8(value[i], at + "/" + std::to_string(i)); !p.empty()) return p;
  }
  if (value.is_object()) {
    for (const auto& [key, v] : value.items()) {
      if (bad(key)) return at + "/(a key)";
      if (std::string p = FirstNonUtf8(v, at + "/" + key); !p.empty()) return p;
    }
  }
  return "";
}

}  // namespace

ordered_json SaveScene(const SceneSettings& settings) {
  ordered_json nodes = ordered_json::array();
  INode* root = GetCOREInterface()->GetRootNode();
  for (int i = 0; i < root->NumberOfChildren(); ++i) nodes.push_back(SaveNode(root->GetChildNode(i)));
  ordered_json doc = {{"format", kSavedFormat}, {"frame", settings.frame}, {"nodes", nodes}};
  if (!settings.render.is_null()) doc["render"] = ordered_json(settings.render);
  return doc;
}

std::string SavedText(const nlohmann::ordered_json& saved, const std::string& output) {
  try {
    return FormatJson(saved);
  } catch (const nlohmann::json::type_error&) {
    throw InputError("cannot write '" + output + "': the text at " + FirstNonUtf8(saved, "") +
                     " (a file path?) is not UTF-8, which a JSON scene cannot hold");
  }
}
