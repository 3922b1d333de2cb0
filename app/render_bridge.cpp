#include "app/render_bridge.h"

#include "app/corner_weld.h"

namespace {
void AppendPoints(std::vector<float>& out, const std::vector<Point3>& points) {
  out.reserve(points.size() * 3);
  for (const Point3& p : points) out.insert(out.end(), {p.x, p.y, p.z});
}
}  // namespace

gramora::render::Scene ToRenderScene(const ExportScene& scene) {
  gramora::render::Scene out;
  for (const ExportNode& node : scene.nodes) {
    if (node.isGroup) continue;
    WeldedMesh w = WeldCorners(node.mesh);
    if (w.faceCount() == 0) continue;
    gramora::render::Mesh m;
    m.name = node.name;
    // Every object a scene can hold comes from the grass plug-in, so every mesh is grass.
    m.grass = true;
    AppendPoints(m.positions, w.positions);
    AppendPoints(m.normals, w.normals);
    AppendPoints(m.uvw, w.uvw);
    m.indices = std::move(w.indices);
    out.meshes.push_back(std::move(m));
  }
  return out;
}
