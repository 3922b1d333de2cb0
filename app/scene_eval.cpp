#include "app/scene_eval.h"

#include <chrono>
#include <unordered_map>

#include "app/finite_geometry.h"
#include "app/parallel.h"
#include "app/warnings.h"
#include "sdk/host.h"

namespace {

// Evaluates the node and points `out` at its mesh; no mesh when its object yields no geometry.
// With `times`, the object's own build is timed apart from its modifiers: the object is evaluated
// first (a cached object answers at once the second time, inside the pipeline).
void Borrow(INode* node, TimeValue t, ExportNode& out, EvaluationTimes* times) {
  auto start = std::chrono::steady_clock::now();
  if (times && node->GetObjectRef()) {
    node->GetObjectRef()->Eval(t);
    times->build += SecondsSince(start);
    start = std::chrono::steady_clock::now();
  }
  const ObjectState& os = node->EvalWorldState(t);
  if (times) (node->NumModifiers() > 0 ? times->modifiers : times->build) += SecondsSince(start);
  auto* geom = dynamic_cast<GeomObject*>(os.obj);
  if (!geom) return;
  BOOL needDelete = FALSE;
  Mesh* mesh = geom->GetRenderMesh(t, node, needDelete);
  if (!mesh) return;
  if (needDelete) {
    // A mesh made for this call only: the export keeps it.
    out.mesh = std::move(*mesh);
    delete mesh;
  } else {
    out.source = mesh;
  }
  out.tm = node->GetObjectTM(t);
}

}  // namespace

unsigned PeakMeshCopies(PeakWork work) {
  switch (work) {
    // Measured peak over Mesh::BytesFor (docs/performance.md): an export borrows the object's mesh
    // and writes it as it reads, so only a modifier stack's triangle copy is added (0.7 without a
    // modifier, 1.4 with one); the renderer adds its vertex buffers and Embree's BVH (3.2 and 4.0).
    case PeakWork::kSave: return 1;  // nothing is evaluated
    case PeakWork::kExport: return 2;
    case PeakWork::kRender: return 4;
  }
  return 4;
}

ExportScene EvaluateScene(TimeValue t, const ProgressFn& progress, EvaluationTimes* times) {
  Host& host = TheHost();
  host.SetTime(t);
  const std::vector<INode*> nodes = host.AllNodes();
  std::unordered_map<INode*, int> index;
  ExportScene scene;
  scene.nodes.resize(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    INode* node = nodes[i];
    index[node] = static_cast<int>(i);
    ExportNode& out = scene.nodes[i];
    out.name = node->GetName();
    auto parent = index.find(node->GetParentNode());
    out.parent = parent == index.end() ? -1 : parent->second;
    out.isGroup = node->IsGroupHead() != FALSE;
    const std::string where = "node \"" + out.name + "\"";
    SetPluginLogContext(where);
    if (!out.isGroup) Borrow(node, t, out, times);
    ReportPluginLog(where);
    if (!out.isGroup) {
      const auto checking = std::chrono::steady_clock::now();
      CheckFiniteGeometry(out);
      if (times) times->build += SecondsSince(checking);
    }
    if (progress) progress(double(i + 1), double(nodes.size()));
  }
  return scene;
}
