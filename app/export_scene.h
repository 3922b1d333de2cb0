// What the exporters write: the evaluated scene as named nodes with world-space meshes.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "sdk/mesh.h"

// One scene node ready for export: its mesh is evaluated at the export frame and already in world
// space, with normals built. Group heads carry no mesh of their own and parent other nodes.
struct ExportNode {
  std::string name;
  int parent = -1;       // index of the group head holding this node, -1 for a top-level node
  bool isGroup = false;  // a group head: written as a parent node where the format has them
  Mesh mesh;
};

// The nodes of one scene, parents before or after their children in any order.
struct ExportScene {
  std::vector<ExportNode> nodes;
};

// Reports progress of a long export: called with the work done so far and the total.
using ProgressFn = std::function<void(double done, double total)>;

// Writes the scene to `path`, choosing the format by its extension (.obj, .ply, .glb); throws
// InputError for another extension or when the file cannot be written.
void ExportSceneFile(const ExportScene& scene, const std::string& path, const ProgressFn& progress);

// The file name's extension in lower case, without the dot ("" when there is none).
std::string Extension(const std::string& path);
// True when `path` ends in an extension that ExportSceneFile writes.
bool IsExportPath(const std::string& path);
