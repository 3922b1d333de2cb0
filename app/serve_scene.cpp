#include "app/serve_scene.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "app/atomic_file.h"
#include "app/class_lookup.h"
#include "app/errors.h"
#include "app/export_glb.h"
#include "app/export_scene.h"
#include "app/path_policy.h"
#include "app/render_bridge.h"
#include "app/scene_eval.h"
#include "app/scene_params.h"
#include "app/scene_parts.h"
#include "app/scene_save.h"
#include "app/scene_texmaps.h"
#include "app/viewport_svg.h"
#include "render/render_json.h"
#include "sdk/classdir.h"
#include "sdk/creation.h"
#include "sdk/gfx.h"
#include "sdk/host.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// The top view a drag starts from covers at least this many world units each way, so an empty
// scene still offers room for a lawn.
constexpr float kTopViewMinExtent = 40.0f;
constexpr int kMaxDragPoints = 1000;
constexpr int kMaxViewPixels = 1 << 16;

double Millis(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

json Triple(float a, float b, float c) { return json::array({a, b, c}); }

// What the page takes from the scene's "render" section: the image size and samples for its
// render button, and the camera, ground and background for its 3-D view.
json RenderView(const gramora::render::Settings& rs) {
  const auto& c = rs.camera;
  json out = {{"width", rs.width},
              {"height", rs.height},
              {"spp", rs.spp},
              {"background", Triple(rs.background.r, rs.background.g, rs.background.b)},
              {"ground",
               {{"enabled", rs.ground.enabled},
                {"size", rs.ground.size},
                {"color", Triple(rs.ground.color.r, rs.ground.color.g, rs.ground.color.b)}}}};
  out["camera"] = c.automatic ? json(nullptr)
                              : json{{"position", Triple(c.position.x, c.position.y, c.position.z)},
                                     {"target", Triple(c.target.x, c.target.y, c.target.z)},
                                     {"fov", c.fov}};
  return out;
}

std::string ClassOf(ReferenceTarget* obj) {
  ClassDesc* cd = obj ? GetClassDirectory().FindClass(obj->SuperClassID(), obj->ClassID()) : nullptr;
  return cd ? ClassKey(cd) : "";
}

// The latest frame any key in the save form falls on (parameter keys [frame, value] and gizmo
// keys [frame, [x, y, z]] alike), or -infinity without keys.
double LastKeyFrame(const nlohmann::ordered_json& v) {
  double last = -INFINITY;
  if (v.is_object()) {
    for (const auto& [key, child] : v.items()) {
      if (key == "keys" && child.is_array()) {
        for (const auto& k : child)
          if (k.is_array() && !k.empty() && k[0].is_number()) last = std::max(last, k[0].get<double>());
      } else {
        last = std::max(last, LastKeyFrame(child));
      }
    }
  } else if (v.is_array()) {
    for (const auto& child : v) last = std::max(last, LastKeyFrame(child));
  }
  return last;
}

int WholeNumber(const json& v, int lo, int hi, const std::string& what) {
  if (!v.is_number_integer() || v.get<double>() < lo || v.get<double>() > hi)
    throw InputError(what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                     ", not " + v.dump());
  return v.get<int>();
}

double FiniteNumber(const json& v, double limit, const std::string& what) {
  if (!v.is_number() || !(std::fabs(v.get<double>()) <= limit))
    throw InputError(what + " must be a number from " + std::to_string(-limit) + " to " + std::to_string(limit) +
                     ", not " + v.dump());
  return v.get<double>();
}

// While it lives, file dialogs are put to the person at the page.
class AskingPerson {
 public:
  explicit AskingPerson(const OpenFileHandler& ask) { SetOpenFileHandler(ask); }
  ~AskingPerson() { SetOpenFileHandler({}); }
  AskingPerson(const AskingPerson&) = delete;
  AskingPerson& operator=(const AskingPerson&) = delete;
};

// The file's bytes, mapped from the page cache, kept while the result lives (the file itself may
// go at once).
std::shared_ptr<const std::string_view> MapFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || st.st_size <= 0) {
    if (fd >= 0) close(fd);
    throw InputError("cannot read back '" + path + "'");
  }
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (data == MAP_FAILED) throw InputError("cannot read back '" + path + "'");
  return std::shared_ptr<const std::string_view>(new std::string_view(static_cast<const char*>(data), size),
                                                 [](const std::string_view* v) {
                                                   munmap(const_cast<char*>(v->data()), v->size());
                                                   delete v;
                                                 });
}

}  // namespace

ServeScene::ServeScene(const std::string& scenePath, const PathScope& scope, OpenFileHandler askPerson)
    : scope_(scope), askPerson_(std::move(askPerson)), scenePath_(scenePath) {
  const SceneDocument doc = ReadSceneDocument(scenePath);
  settings_ = BuildSceneDocument(doc);
  std::string pattern = (fs::temp_directory_path() / "gramora-serve-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw InputError("cannot make a temporary folder in " + fs::temp_directory_path().string());
  tempDir_ = pattern;
  TheHost().SetTime(FrameToTicks(json(settings_.frame), "the scene's \"frame\""));
}

ServeScene::~ServeScene() {
  panels_.Close();
  std::error_code ec;
  if (!tempDir_.empty()) fs::remove_all(tempDir_, ec);
}

json ServeScene::Info() {
  ClassDirectory& dir = GetClassDirectory();
  json classes = json::array();
  for (int i = 0; i < dir.Count(); ++i) {
    ClassDesc* cd = dir.Get(i);
    if (cd->IsPublic() && cd->SuperClassID() == GEOMOBJECT_CLASS_ID)
      classes.push_back({{"name", ClassKey(cd)}, {"label", cd->ClassName() ? cd->ClassName() : ""}});
  }
  gramora::render::Settings rs;
  if (!settings_.render.is_null()) gramora::render::ParseRenderSection(settings_.render, rs);
  const double last = LastKeyFrame(Saved());
  return {{"scene", scenePath_.empty() ? "(default scene)" : scenePath_},
          {"folder", scope_.Folder()},
          {"frame", settings_.frame},
          {"time", double(TheHost().GetTime()) / GetTicksPerFrame()},
          {"animated", std::isfinite(last)},
          {"frames", {0.0, std::max({std::isfinite(last) ? last : 0.0, settings_.frame, 0.0})}},
          {"render", RenderView(rs)},
          {"classes", classes}};
}

json ServeScene::Nodes() {
  const std::vector<INode*> all = TheHost().AllNodes();
  json out = json::array();
  for (std::size_t i = 0; i < all.size(); ++i) {
    INode* n = all[i];
    json node = {{"index", i}, {"name", n->GetName()}, {"group", n->IsGroupHead() != FALSE}};
    const auto parent = std::find(all.begin(), all.end(), n->GetParentNode());
    node["parent"] = parent == all.end() ? json(nullptr) : json(parent - all.begin());
    node["class"] = n->IsGroupHead() ? json(nullptr) : json(ClassOf(n->GetObjectRef()));
    json mods = json::array();
    for (int m = 0; m < n->NumModifiers(); ++m) mods.push_back(ClassOf(n->GetModifier(m)));
    node["modifiers"] = mods;
    out.push_back(node);
  }
  return out;
}

nlohmann::ordered_json ServeScene::Saved() { return SaveScene(settings_); }

json ServeScene::Replace(const json& doc) {
  panels_.Close();
  // The old nodes wait outside the scene until the new scene stands, so a bad file loses nothing.
  INode* root = GetCOREInterface()->GetRootNode();
  std::vector<INode*> old;
  for (int i = 0; i < root->NumberOfChildren(); ++i) old.push_back(root->GetChildNode(i));
  for (INode* n : old) root->DetachChild(n);
  Host& host = TheHost();
  try {
    const SceneSettings settings = BuildSceneDocument(SceneDocument{doc, "(the scene sent)", scope_.Folder()});
    for (INode* n : old) host.DeleteNode(n);
    settings_ = settings;
  } catch (...) {
    while (root->NumberOfChildren() > 0) host.DeleteNode(root->GetChildNode(root->NumberOfChildren() - 1));
    for (INode* n : old) root->AttachChild(n);
    throw;
  }
  host.SetTime(FrameToTicks(json(settings_.frame), "the scene's \"frame\""));
  return {{"info", Info()}, {"nodes", Nodes()}};
}

INode* ServeScene::NodeAt(int index) {
  const std::vector<INode*> all = TheHost().AllNodes();
  if (index < 0 || std::size_t(index) >= all.size())
    throw InputError("there is no node " + std::to_string(index) + " (the scene has " + std::to_string(all.size()) +
                     (all.size() == 1 ? " node)" : " nodes)"));
  return all[std::size_t(index)];
}

void ServeScene::OpenPanels(int node, int entry) {
  INode* n = NodeAt(node);
  if (entry < 0 || entry > n->NumModifiers())
    throw InputError("node " + std::to_string(node) + " has no stack entry " + std::to_string(entry) +
                     " (0 is its object" +
                     (n->NumModifiers() > 0 ? ", 1 to " + std::to_string(n->NumModifiers()) + " its modifiers)" : ")"));
  panels_.Open(n, entry);
}

json ServeScene::PanelsJson() {
  INode* n = panels_.Node();
  json stack = json::array();
  if (n && !n->IsGroupHead()) {
    stack.push_back({{"entry", 0}, {"class", ClassOf(n->GetObjectRef())}});
    for (int m = 0; m < n->NumModifiers(); ++m)
      stack.push_back({{"entry", m + 1}, {"class", ClassOf(n->GetModifier(m))}});
  }
  const std::vector<INode*> all = TheHost().AllNodes();
  const auto at = std::find(all.begin(), all.end(), n);
  return {{"node", at == all.end() ? json(nullptr) : json(at - all.begin())},
          {"name", n ? n->GetName() : ""},
          {"entry", panels_.Entry()},
          {"stack", stack},
          {"frame", double(TheHost().GetTime()) / GetTicksPerFrame()},
          {"rollouts", panels_.Describe()}};
}

json ServeScene::Panels(int node, int entry, const json& frame) {
  SetFrame(frame);
  OpenPanels(node, entry);
  return PanelsJson();
}

json ServeScene::Act(int node, int entry, int control, int page, const json& action, const json& frame) {
  SetFrame(frame);
  OpenPanels(node, entry);
  const std::string where = "node " + std::to_string(node) + ": \"map\"";
  const AskingPerson asking(askPerson_);
  panels_.Act(control, page, action, [&](const json& spec) -> Texmap* {
    if (!spec.is_object()) throw InputError(where + " must be {\"bitmap\": PATH}, {\"procedural\": KIND, ...} or null");
    if (spec.contains("bitmap") && spec["bitmap"].is_string()) scope_.Resolve(spec["bitmap"].get<std::string>(), where);
    return MakeTexmap(spec, scope_.Folder(), where);
  });
  // The panels show what the parameters now hold, also those the panel procedure set itself.
  panels_.Refresh();
  return PanelsJson();
}

json ServeScene::SetPageOpen(int node, int entry, int page, bool open) {
  OpenPanels(node, entry);
  panels_.SetPageOpen(page, open);
  return PanelsJson();
}

TimeValue ServeScene::SetFrame(const json& frame) {
  if (frame.is_null()) return TheHost().GetTime();
  const TimeValue t = FrameToTicks(frame, "\"frame\"");
  if (t != TheHost().GetTime()) {
    TheHost().SetTime(t);
    panels_.Refresh();  // animated parameters show their value at the new time
  }
  return t;
}

std::shared_ptr<const std::string_view> ServeScene::Glb(const json& frame, json& stats) {
  const auto start = std::chrono::steady_clock::now();
  EvaluationTimes evaluation;
  const ExportScene scene = EvaluateScene(SetFrame(frame), nullptr, &evaluation);
  const double evaluated = Millis(start);
  // The file `gramora build` writes, by the same exporter, then handed over from the page cache:
  // written around it, as `gramora build` writes large files, it would have to come back from
  // the disk.
  const std::string path = tempDir_ + "/scene.glb";
  ExportOptions options;
  options.directBytes = UINT64_MAX;
  ExportSceneFile(scene, path, nullptr, options);
  const double exported = Millis(start);
  auto bytes = MapFile(path);
  std::error_code ec;
  fs::remove(path, ec);
  std::size_t vertices = 0, faces = 0;
  for (const ExportNode& n : scene.nodes) {
    vertices += n.Geometry().verts.size();
    faces += n.Geometry().faces.size();
  }
  stats = {{"nodes", scene.nodes.size()},
           {"vertices", vertices},
           {"faces", faces},
           {"buildMs", 1e3 * evaluation.build},
           {"modifiersMs", 1e3 * evaluation.modifiers},
           {"evaluateMs", evaluated},
           {"glbMs", Millis(start) - evaluated},
           {"readBackMs", Millis(start) - exported}};
  return bytes;
}

json ServeScene::Gizmos(const json& frame) {
  const TimeValue t = SetFrame(frame);
  const std::vector<INode*> all = TheHost().AllNodes();
  json out = json::array();
  for (std::size_t i = 0; i < all.size(); ++i) {
    for (int m = 0; m < all[i]->NumModifiers(); ++m) {
      TopViewport view;
      GraphicsWindow gw(view);
      view.SetGW(&gw);
      all[i]->GetModifier(m)->Display(t, all[i], &view, 0, all[i]->GetModContext(m));
      for (const GWPolyline& line : gw.Lines()) {
        json points = json::array();
        for (const Point3& p : line.world) points.push_back({p.x, p.y, p.z});
        out.push_back({{"node", i},
                       {"entry", m + 1},
                       {"closed", line.closed},
                       {"color", {line.color.x, line.color.y, line.color.z}},
                       {"points", points}});
      }
    }
  }
  return out;
}

json ServeScene::TopView(const json& frame) {
  const TopViewDrawing view = DrawTopView(SetFrame(frame), kTopViewMinExtent);
  return {{"svg", view.svg},
          {"width", view.width},
          {"height", view.height},
          {"unitsPerPixel", view.unitsPerPixel},
          {"center", {view.center.x, view.center.y}}};
}

json ServeScene::Create(const json& request) {
  if (!request.is_object()) throw InputError("a creation is {\"class\", \"view\", \"points\", \"ctrl\"}");
  CheckKeys(request, {"class", "view", "points", "ctrl"}, "the creation");
  if (!request.contains("class") || !request["class"].is_string())
    throw InputError("\"class\" must name the class to create");
  ClassDesc* cd = FindClassOrThrow(request["class"].get<std::string>(), "\"class\"");
  if (cd->SuperClassID() != GEOMOBJECT_CLASS_ID)
    throw InputError("\"class\": " + ClassKey(cd) + " is not an object class");
  const json view = request.value("view", json());
  if (!view.is_object()) throw InputError("\"view\" must be the top view the drag was made in");
  CheckKeys(view, {"width", "height", "unitsPerPixel", "center"}, "\"view\"");
  const int width = WholeNumber(view.value("width", json()), 1, kMaxViewPixels, "\"view\".width");
  const int height = WholeNumber(view.value("height", json()), 1, kMaxViewPixels, "\"view\".height");
  const double upp = FiniteNumber(view.value("unitsPerPixel", json()), 1e4, "\"view\".unitsPerPixel");
  if (!(upp > 0.0)) throw InputError("\"view\".unitsPerPixel must be above 0");
  const json center = view.value("center", json());
  if (!center.is_array() || center.size() != 2) throw InputError("\"view\".center must be [x, y]");
  const Point3 origin(FiniteNumber(center[0], 1e6, "\"view\".center x"),
                      FiniteNumber(center[1], 1e6, "\"view\".center y"), 0.0);
  const json points = request.value("points", json());
  if (!points.is_array() || points.size() < 2 || points.size() > std::size_t(kMaxDragPoints))
    throw InputError("\"points\" must be the drag's screen points, 2 to " + std::to_string(kMaxDragPoints) +
                     " of them");
  std::vector<IPoint2> drag;
  for (const json& p : points) {
    if (!p.is_array() || p.size() != 2)
      throw InputError("each of \"points\" must be [x, y] in pixels, not " + p.dump());
    drag.push_back({WholeNumber(p[0], -kMaxViewPixels, 2 * kMaxViewPixels, "a point's x"),
                    WholeNumber(p[1], -kMaxViewPixels, 2 * kMaxViewPixels, "a point's y")});
  }
  const json ctrl = request.value("ctrl", json(false));
  if (!ctrl.is_boolean()) throw InputError("\"ctrl\" must be true or false");
  const int flags = ctrl.get<bool>() ? MOUSE_CTRL : 0;

  panels_.Close();
  const AskingPerson asking(askPerson_);
  TopViewport viewport(width, height, static_cast<float>(upp), origin);
  CreationDriver driver(viewport);
  std::string error;
  if (!driver.Begin(cd, error)) throw InputError("cannot create " + ClassKey(cd) + ": " + error);
  driver.Press(drag.front(), flags);
  for (std::size_t i = 1; i + 1 < drag.size(); ++i) driver.DragTo(drag[i], flags);
  driver.Release(drag.back(), flags);
  for (int click = 0; click < 8 && driver.State() == CreationState::kRunning; ++click) driver.Click(drag.back(), flags);
  if (driver.State() == CreationState::kRunning) {
    driver.Abort();
    throw InputError(ClassKey(cd) + " did not finish its creation after the drag");
  }
  if (driver.State() == CreationState::kAborted || !driver.Node())
    throw InputError(ClassKey(cd) + " cancelled its creation (a drag too short?)");
  const std::vector<INode*> all = TheHost().AllNodes();
  const int index = static_cast<int>(std::find(all.begin(), all.end(), driver.Node()) - all.begin());
  panels_.Open(driver.Node(), 0);
  return {{"node", index}, {"nodes", Nodes()}, {"info", Info()}, {"panels", PanelsJson()}};
}

std::string ServeScene::RenderPng(const json& request) {
  if (!request.is_object())
    throw InputError("a render request is an object {\"frame\", \"width\", \"height\", \"spp\"}");
  CheckKeys(request, {"frame", "width", "height", "spp"}, "the render request");
  const TimeValue t = SetFrame(request.value("frame", json()));
  gramora::render::Settings rs;
  if (!settings_.render.is_null()) {
    const std::string error = gramora::render::ParseRenderSection(settings_.render, rs);
    if (!error.empty()) throw InputError("the scene's \"render\": " + error);
  }
  if (request.contains("width")) rs.width = WholeNumber(request["width"], 1, 4096, "\"width\"");
  if (request.contains("height")) rs.height = WholeNumber(request["height"], 1, 4096, "\"height\"");
  if (request.contains("spp")) rs.spp = WholeNumber(request["spp"], 1, 1024, "\"spp\"");
  rs.shaderPath = FindShaderLibrary(rs.shaderName, "the scene's render.shader");
  rs.progress = false;
  const ExportScene scene = EvaluateScene(t, nullptr);
  gramora::render::Image image;
  const std::string error = gramora::render::Render(ToRenderScene(scene), rs, image, nullptr);
  if (!error.empty()) throw InputError("cannot render: " + error);
  std::string png;
  const std::string encoding = gramora::render::EncodePng(image, [&png](const void* data, std::size_t size) {
    png.append(static_cast<const char*>(data), size);
    return true;
  });
  if (!encoding.empty()) throw InputError("cannot encode the image: " + encoding);
  return png;
}

json ServeScene::Save(const json& request) {
  if (!request.is_object()) throw InputError("a save request is an object {\"path\"}");
  CheckKeys(request, {"path"}, "the save request");
  std::string target;
  if (request.contains("path")) {
    if (!request["path"].is_string()) throw InputError("\"path\" must be a file name in the scene's folder");
    target = scope_.Resolve(request["path"].get<std::string>(), "\"path\"");
  } else if (!scenePath_.empty()) {
    target = fs::absolute(scenePath_).lexically_normal().string();
  } else {
    throw InputError("give a \"path\": the server was started without a scene file");
  }
  if (Extension(target) != "json") throw InputError("cannot save to '" + target + "': a scene file ends in .json");
  std::error_code ec;
  if (fs::is_directory(target, ec)) throw InputError("cannot save to '" + target + "': it is a folder");
  const std::string text = SavedText(Saved(), target);
  AtomicFile file(target);
  file.Write(text.data(), text.size());
  file.Commit();
  return {{"saved", target}};
}
