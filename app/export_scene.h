// What the exporters write: the evaluated scene as named nodes with their meshes.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/atomic_file.h"
#include "app/mesh_view.h"
#include "sdk/mesh.h"

// One scene node ready for export. An evaluated node borrows its mesh from the host scene's
// pipeline (`source`, valid until that node is evaluated again or deleted); a node made by hand
// holds its own. Writers take vertices through `tm` to world space, when there is one. Group heads
// carry no mesh and parent other nodes.
struct ExportNode {
  std::string name;
  int parent = -1;               // index of the group head holding this node, -1 for a top-level node
  bool isGroup = false;          // a group head: written as a parent node where the format has them
  Mesh mesh;                     // the node's own mesh, used when `source` is null
  const Mesh* source = nullptr;  // a mesh borrowed from the host scene
  std::optional<Matrix3> tm;     // object to world; none: the mesh is in world space already

  const Mesh& Geometry() const { return source ? *source : mesh; }
  // The mesh to write and how its vertices reach world space.
  MeshView View() const { return {&Geometry(), tm ? &*tm : nullptr}; }
};

// The nodes of one scene, parents before or after their children in any order.
struct ExportScene {
  std::vector<ExportNode> nodes;
};

// Reports progress of a long export: called with the work done so far and the total.
using ProgressFn = std::function<void(double done, double total)>;

// Where an export spent its time, in seconds.
struct ExportTimes {
  double normals = 0;  // normals and welded corners counted before the file is written (PLY, glb)
  double write = 0;    // formatting and writing the file
};

// How to export: worker threads (0: one per core; the bytes are the same for any count), where to
// report the time spent, and from what expected size a file is written around the page cache.
struct ExportOptions {
  int threads = 0;
  ExportTimes* times = nullptr;
  std::uint64_t directBytes = std::uint64_t{64} << 20;
};

// Writes the scene to `path`, choosing the format by its extension (.obj, .ply, .glb); throws
// InputError for another extension or when the file cannot be written.
void ExportSceneFile(const ExportScene& scene, const std::string& path, const ProgressFn& progress,
                     const ExportOptions& options = {});

// Writes the scene into `file` in the format its path names, without committing it, so the caller
// can commit it together with other files.
void WriteSceneFile(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress,
                    const ExportOptions& options = {});

// The file name's extension in lower case, without the dot ("" when there is none).
std::string Extension(const std::string& path);
// True when `path` ends in an extension that ExportSceneFile writes.
bool IsExportPath(const std::string& path);
