#include "app/scene_eval.h"

#include <unordered_map>

#include "sdk/host.h"

namespace {

// The node's evaluated mesh in world space; empty when its object yields no geometry.
Mesh WorldMesh(INode* node, TimeValue t) {
  Mesh out;
  const ObjectState& os = node->EvalWorldState(t);
  auto* geom = dynamic_cast<GeomObject*>(os.obj);
  if (!geom) return out;
  BOOL needDelete = FALSE;
  Mesh* mesh = geom->GetRenderMesh(t, node, needDelete);
  if (!mesh) return out;
  out = *mesh;
  if (needDelete) delete mesh;
  const Matrix3 tm = node->GetObjectTM(t);
  for (Point3& p : out.verts) p = tm.PointTransform(p);
  out.buildNormals();
  return out;
}

}  // namespace

ExportScene EvaluateScene(TimeValue t, const ProgressFn& progress) {
  Host& host = TheHost();
  host.SetTime(t);
  const std::vector<INode*> nodes = host.AllNodes();
  std::unordered_map<INode*, int> index;
  ExportScene scene;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    INode* node = nodes[i];
    index[node] = static_cast<int>(i);
    ExportNode out;
    out.name = node->GetName();
    auto parent = index.find(node->GetParentNode());
    out.parent = parent == index.end() ? -1 : parent->second;
    out.isGroup = node->IsGroupHead() != FALSE;
    if (!out.isGroup) out.mesh = WorldMesh(node, t);
    scene.nodes.push_back(std::move(out));
    if (progress) progress(double(i + 1), double(nodes.size()));
  }
  return scene;
}
