#include "app/scene_builder.h"

#include <filesystem>
#include <fstream>

#include "app/class_lookup.h"
#include "app/default_scene.h"
#include "app/errors.h"
#include "app/json_file.h"
#include "app/path_policy.h"
#include "app/scene_panel.h"
#include "app/scene_parts.h"
#include "app/scene_restore.h"
#include "app/warnings.h"
#include "sdk/core.h"
#include "sdk/creation.h"
#include "sdk/paramblock.h"

using nlohmann::json;

namespace {

// BeginEditParams / EndEditParams flags of the host's create mode.
constexpr ULONG kBeginEditCreate = 1;
constexpr ULONG kEndEditRemoveUI = 1;

// The headless top view that creation drags are replayed in: 1/64 world unit per pixel (a power
// of two, so drag points on that grid map to pixels and back exactly) and room for half a
// million units either side of the origin.
constexpr float kUnitsPerPixel = 1.0f / 64.0f;
constexpr int kViewSize = 1 << 26;

class SceneBuilder {
 public:
  explicit SceneBuilder(const SceneDocument& scene) : scene_(scene) {}

  INode* BuildEntry(const json& entry, const std::string& where) {
    if (!entry.is_object()) throw InputError(where + ": a node must be an object with a \"class\" or a \"group\"");
    return entry.contains("group") ? BuildGroup(entry, where) : BuildObject(entry, where);
  }

 private:
  INode* BuildGroup(const json& entry, const std::string& where) {
    CheckKeys(entry, {"group", "nodes"}, where);
    if (!entry["group"].is_string()) throw InputError(where + ": \"group\" must be the group's name");
    const json& members = entry.value("nodes", json());
    if (!members.is_array() || members.empty())
      throw InputError(where + ": a group needs \"nodes\", a non-empty list of nodes");
    INodeTab tab;
    for (std::size_t i = 0; i < members.size(); ++i) {
      INode* child = BuildEntry(members[i], where + ".nodes[" + std::to_string(i) + "]");
      tab.Append(1, &child);
    }
    MSTR name(entry["group"].get<std::string>());
    return GetCOREInterface()->GroupNodes(&tab, &name, FALSE);
  }

  INode* BuildObject(const json& entry, const std::string& whereIn) {
    CheckKeys(entry,
              {"class", "name", "params", "create", "position", "transform", "vectorField", "panel", "modifiers"},
              whereIn);
    if (!entry.contains("class") || !entry["class"].is_string())
      throw InputError(whereIn + ": a node needs \"class\", the class name or internal name of its object");
    ClassDesc* cd = FindClassOrThrow(entry["class"].get<std::string>(), whereIn);
    const std::string where = whereIn + " (" + ClassKey(cd) + ")";
    if (cd->SuperClassID() != GEOMOBJECT_CLASS_ID)
      throw InputError(where + ": this class is not an object; modifiers go in a node's \"modifiers\" list");
    if (entry.contains("position") && entry.contains("transform"))
      throw InputError(where + ": give \"position\" or \"transform\", not both");
    const ParamSource src{where, scene_.baseDir};
    const json params = entry.value("params", json::object());

    INode* node =
        entry.contains("create") ? CreateByDrag(cd, entry, params, src) : CreateDirectly(cd, entry, params, src);
    IObjParam* ip = GetCOREInterface();
    if (entry.contains("name")) {
      if (!entry["name"].is_string() || entry["name"].get<std::string>().empty())
        throw InputError(where + ": \"name\" must be a non-empty string");
      MSTR name(entry["name"].get<std::string>());
      ip->MakeNameUnique(name);
      node->SetName(name);
    }
    if (entry.contains("transform")) node->SetNodeTM(0, ParseTransform(entry["transform"], where));
    if (entry.contains("position")) {
      Matrix3 tm = node->GetNodeTM(0);
      tm.SetTrans(ParsePoint(entry["position"], where + ": \"position\""));
      node->SetNodeTM(0, tm);
    }
    if (entry.contains("modifiers")) AddModifiers(node, entry["modifiers"], where);
    return node;
  }

  // Parameters, the vector field and the panel steps, while the object's panel is open, before
  // any drag.
  void SetUp(Object* obj, const json& entry, const json& params, const ParamSource& src) {
    ApplyParams(obj, params, src);
    if (entry.contains("vectorField")) LoadVectorField(obj, entry["vectorField"], src);
    if (entry.contains("panel")) RunPanelSteps(entry["panel"], src);
  }

  INode* CreateDirectly(ClassDesc* cd, const json& entry, const json& params, const ParamSource& src) {
    IObjParam* ip = GetCOREInterface();
    PendingObject pending{cd->Create(FALSE)};
    auto* obj = dynamic_cast<Object*>(pending.obj);
    if (!obj) throw InputError(src.where + ": the class made no object");
    obj->BeginEditParams(ip, kBeginEditCreate, nullptr);
    try {
      SetUp(obj, entry, params, src);
    } catch (...) {
      obj->EndEditParams(ip, kEndEditRemoveUI, nullptr);
      throw;
    }
    INode* node = ip->CreateObjectNode(obj);
    pending.obj = nullptr;
    obj->EndEditParams(ip, kEndEditRemoveUI, nullptr);
    return node;
  }

  IPoint2 ToScreen(const json& p, const std::string& where) {
    const bool ok = p.is_array() && p.size() == 2 && p[0].is_number() && p[1].is_number();
    if (!ok) throw InputError(where + ": expected [x, y] in world units, not " + p.dump());
    const double limit = 0.5 * kViewSize * kUnitsPerPixel;
    if (std::fabs(p[0].get<double>()) >= limit || std::fabs(p[1].get<double>()) >= limit)
      throw InputError(where + ": " + p.dump() + " lies outside the creation view (|x|, |y| < " +
                       std::to_string(static_cast<long>(limit)) + ")");
    return viewport_.WorldToScreen(Point3(p[0].get<double>(), p[1].get<double>(), 0.0));
  }

  INode* CreateByDrag(ClassDesc* cd, const json& entry, const json& params, const ParamSource& src) {
    const json& create = entry["create"];
    const std::string where = src.where + ": \"create\"";
    if (!create.is_object() || !create.contains("from") || !create.contains("to"))
      throw InputError(where + " must be {\"from\": [x, y], \"to\": [x, y]}");
    CheckKeys(create, {"from", "to", "ctrl", "steps"}, where);
    const IPoint2 from = ToScreen(create["from"], where + ".from"), to = ToScreen(create["to"], where + ".to");
    const json ctrl = create.value("ctrl", json(false)), steps = create.value("steps", json(4));
    if (!ctrl.is_boolean()) throw InputError(where + ".ctrl must be true or false");
    // Compared as a double: get<int> would wrap a count such as 4294967297 into the range.
    if (!steps.is_number_integer() || steps.get<double>() < 1 || steps.get<double>() > 1000)
      throw InputError(where + ".steps must be a whole number from 1 to 1000");
    const int flags = ctrl.get<bool>() ? MOUSE_CTRL : 0;

    CreationDriver driver(viewport_);
    std::string error;
    if (!driver.Begin(cd, error)) throw InputError(src.where + ": cannot create by drag: " + error);
    SetUp(driver.Node()->GetObjectRef(), entry, params, src);
    driver.Press(from, flags);
    const int n = steps.get<int>();
    for (int s = 1; s <= n; ++s) {
      const IPoint2 p{from.x + static_cast<int>((static_cast<long long>(to.x) - from.x) * s / n),
                      from.y + static_cast<int>((static_cast<long long>(to.y) - from.y) * s / n)};
      driver.DragTo(p, flags);
    }
    driver.Release(to, flags);
    // Objects that take more clicks after the release (a height, say) get them at the end point.
    for (int click = 0; click < 8 && driver.State() == CreationState::kRunning; ++click) driver.Click(to, flags);
    if (driver.State() == CreationState::kRunning) {
      driver.Abort();
      throw InputError(where + ": the object did not finish its creation after the drag");
    }
    if (driver.State() == CreationState::kAborted || !driver.Node())
      throw InputError(where + ": the object cancelled its creation");
    return driver.Node();
  }

  void LoadVectorField(Object* obj, const json& value, const ParamSource& src) {
    if (!value.is_string()) throw InputError(src.where + ": \"vectorField\" must be the path of a .dat file");
    IParamBlock2* block = obj->NumParamBlocks() > 0 ? obj->GetParamBlock(0) : nullptr;
    const ParamDef* name = block ? block->GetDesc()->GetParamDefByName("vectormap name") : nullptr;
    const ParamDef* enabled = block ? block->GetDesc()->GetParamDefByName("VectormapEnabled") : nullptr;
    if (!name || !enabled) throw InputError(src.where + ": this class has no vector field");
    const std::string path = SceneFile(value.get<std::string>(), src.baseDir, "vector field", src.where);
    CheckReadableFile(path, "vector field", src.where);
    block->SetValue(name->id, 0, path.c_str());
    block->SetValue(enabled->id, 0, TRUE);
    // The field is shared by every lawn and loaded the way a scene load does it: the lawn's Load
    // registers its post-load callback, which reads the file named in the lawn. What the field's
    // reader refused (a data file outside the description's folder) comes back through the log.
    LoadObject(obj);
    ReportPluginLog(src.where);
  }

  void AddModifiers(INode* node, const json& list, const std::string& where) {
    if (!list.is_array()) throw InputError(where + ": \"modifiers\" must be a list, bottom of the stack first");
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::string at = where + ".modifiers[" + std::to_string(i) + "]";
      const json& m = list[i];
      if (!m.is_object() || !m.contains("class") || !m["class"].is_string())
        throw InputError(at + ": a modifier needs \"class\"");
      CheckKeys(m, {"class", "params", "gizmo"}, at);
      ClassDesc* cd = FindClassOrThrow(m["class"].get<std::string>(), at);
      const std::string mwhere = at + " (" + ClassKey(cd) + ")";
      PendingObject pending{cd->SuperClassID() == OSM_CLASS_ID ? cd->Create(FALSE) : nullptr};
      auto* mod = dynamic_cast<Modifier*>(pending.obj);
      if (!mod) throw InputError(mwhere + ": this class is not a modifier");
      ApplyParams(mod, m.value("params", json::object()), ParamSource{mwhere, scene_.baseDir});
      if (m.contains("gizmo")) ApplyGizmo(mod, m["gizmo"], mwhere);
      node->AddModifier(mod, 0);
      pending.obj = nullptr;
    }
  }

  const SceneDocument& scene_;
  TopViewport viewport_{kViewSize, kViewSize, kUnitsPerPixel};
};

}  // namespace

SceneDocument ReadSceneDocument(const std::string& path) {
  if (path.empty()) return {ParseJsonText(DefaultSceneText(), "(default scene)"), "(default scene)", "."};
  const std::string dir = std::filesystem::path(path).parent_path().string();
  return {ReadJsonFile(path), path, dir.empty() ? "." : dir};
}

SceneSettings BuildSceneDocument(const SceneDocument& scene) {
  const json& doc = scene.doc;
  if (!doc.is_object()) throw InputError(scene.source + ": a scene file is a JSON object with \"nodes\"");
  const bool saved = doc.contains("format");
  if (saved && doc["format"] != kSavedFormat)
    throw InputError(scene.source + ": unknown \"format\" " + doc["format"].dump() + " (expected \"" + kSavedFormat +
                     "\")");
  CheckKeys(doc, {"format", "frame", "nodes", "render"}, scene.source);
  SceneSettings settings;
  if (doc.contains("frame")) {
    if (!doc["frame"].is_number()) throw InputError(scene.source + ": \"frame\" must be a number");
    FrameToTicks(doc["frame"], scene.source);
    settings.frame = doc["frame"].get<double>();
  }
  if (doc.contains("render")) {
    if (!doc["render"].is_object()) throw InputError(scene.source + ": \"render\" must be an object");
    // A shader library runs code: a scene names one, it never points at a file (refused here, before
    // anything could be loaded, so neither render nor save ever takes such a scene).
    if (doc["render"].contains("shader")) {
      const json& shader = doc["render"]["shader"];
      if (!shader.is_string()) throw InputError(scene.source + ": render.shader must be a shader library's name");
      CheckShaderName(shader.get<std::string>(), scene.source + ": render.shader");
    }
    settings.render = doc["render"];
  }
  const json nodes = doc.value("nodes", json::array());
  if (!nodes.is_array()) throw InputError(scene.source + ": \"nodes\" must be a list");
  SceneBuilder builder(scene);
  ReportPluginLog(scene.source);  // anything logged before the scene (loading the plug-ins)
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const std::string where = scene.source + ": nodes[" + std::to_string(i) + "]";
    SetPluginLogContext(where);
    if (saved) RestoreEntry(nodes[i], where, scene.baseDir);
    else builder.BuildEntry(nodes[i], where);
    ReportPluginLog(where);
  }
  return settings;
}
