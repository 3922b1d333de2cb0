// The scene `gramora serve` edits: built from the command-line scene, then changed by requests.
// Every operation runs on the host thread (HostQueue); each throws InputError for bad input and
// leaves the scene as it was.
#pragma once
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "app/scene_builder.h"
#include "app/serve_panels.h"
#include "app/serve_paths.h"
#include "sdk/ui.h"

class ServeScene {
 public:
  // Builds `scenePath` (empty: the embedded default scene). `askPerson` answers the file dialogs
  // that panel procedures open while the person's own actions run (a scene's build answers its own
  // from the queue its panel steps fill).
  ServeScene(const std::string& scenePath, const PathScope& scope, OpenFileHandler askPerson);
  ~ServeScene();
  ServeScene(const ServeScene&) = delete;
  ServeScene& operator=(const ServeScene&) = delete;

  // The scene file, its folder, the frame, the frames that hold keys and the classes a drag in
  // the top view can create.
  nlohmann::json Info();
  // Every node, depth first (the glb's node order): index, name, class, group, parent, modifiers.
  nlohmann::json Nodes();
  // The scene in the host's save form.
  nlohmann::ordered_json Saved();
  // A scene file (or save form) replaces the scene; on any error the old scene stays.
  nlohmann::json Replace(const nlohmann::json& doc);

  // Opens the panels of a node's stack entry (0: object, k: k-th modifier from the bottom) at
  // `frame` (null: the current frame) and describes them.
  nlohmann::json Panels(int node, int entry, const nlohmann::json& frame);
  // A user action at `frame` on a control of those panels (see PanelEditor::Act); returns the
  // panels after it.
  nlohmann::json Act(int node, int entry, int control, int page, const nlohmann::json& action,
                     const nlohmann::json& frame);
  nlohmann::json SetPageOpen(int node, int entry, int page, bool open);

  // The glb `gramora build` writes for the scene at `frame` (null: the current frame), with the
  // node count, the host meshes' vertex and face counts and the time taken (stats).
  std::shared_ptr<const std::string_view> Glb(const nlohmann::json& frame, nlohmann::json& stats);
  // Every modifier's gizmo at `frame` as the modifier draws it: world-space poly-lines.
  nlohmann::json Gizmos(const nlohmann::json& frame);
  // The top view at `frame` (as `gramora build --viewport` draws it) and the view it shows.
  nlohmann::json TopView(const nlohmann::json& frame);
  // Creates an object by a drag in a top view: {"class", "view": {"width", "height",
  // "unitsPerPixel", "center": [x, y]}, "points": [[px, py], ...], "ctrl"}; the first point is
  // the press, the last the release. Returns the new node's index with its panels open.
  nlohmann::json Create(const nlohmann::json& request);
  // The PNG `gramora render` writes: {"frame", "width", "height", "spp"}, all optional.
  std::string RenderPng(const nlohmann::json& request);
  // Writes the save form atomically to {"path"} (default: the command-line scene file).
  nlohmann::json Save(const nlohmann::json& request);

 private:
  INode* NodeAt(int index);
  void OpenPanels(int node, int entry);
  nlohmann::json PanelsJson();
  // Makes `frame` the host's time, refreshing the panels; null keeps the current time.
  TimeValue SetFrame(const nlohmann::json& frame);

  PathScope scope_;
  OpenFileHandler askPerson_;
  std::string scenePath_;
  std::string tempDir_;  // a private folder (mode 0700) for the glb on its way to the browser
  SceneSettings settings_;
  PanelEditor panels_;
};
