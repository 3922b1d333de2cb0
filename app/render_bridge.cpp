#include "app/render_bridge.h"

#include "app/corner_weld.h"

namespace {
// Copies points as three floats each into `out`, from float `at` on.
void Place(std::vector<float>& out, std::uint64_t at, const std::vector<Point3>& points) {
  float* p = out.data() + 3 * at;
  for (const Point3& q : points) {
    *p++ = q.x;
    *p++ = q.y;
    *p++ = q.z;
  }
}
}  // namespace

gramora::render::Scene ToRenderScene(const ExportScene& scene, int threads) {
  std::vector<MeshView> views;
  for (const ExportNode& node : scene.nodes) views.push_back(node.isGroup ? MeshView{} : node.View());
  const WeldPlan plan = PlanWeld(views, threads);

  gramora::render::Scene out;
  std::vector<gramora::render::Mesh*> meshOf(views.size(), nullptr);
  out.meshes.reserve(views.size());
  for (std::size_t i = 0; i < views.size(); ++i) {
    const WeldPlan::Part& part = plan.parts[i];
    if (part.faces == 0) continue;
    gramora::render::Mesh& m = out.meshes.emplace_back();
    m.name = scene.nodes[i].name;
    // Every object a scene can hold comes from the grass plug-in, so every mesh is grass.
    m.grass = true;
    m.positions.resize(3 * part.vertices);
    m.normals.resize(3 * part.vertices);
    m.uvw.resize(3 * part.vertices);
    m.indices.resize(3 * part.faces);
    meshOf[i] = &m;
  }
  ForEachWeldedRun(views, plan, threads, [&](std::size_t item, const WeldedMesh& w) {
    const std::size_t mesh = plan.items[item].mesh;
    gramora::render::Mesh* m = meshOf[mesh];
    if (!m) return;
    const std::uint64_t first = plan.vertexStart[item] - plan.parts[mesh].vertexStart;
    Place(m->positions, first, w.positions);
    Place(m->normals, first, w.normals);
    Place(m->uvw, first, w.uvw);
    std::uint32_t* index = m->indices.data() + 3 * (plan.faceStart[item] - plan.parts[mesh].faceStart);
    for (std::uint32_t i : w.indices) *index++ = static_cast<std::uint32_t>(first + i);
  });
  return out;
}
