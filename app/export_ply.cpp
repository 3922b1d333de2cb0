#include "app/export_ply.h"

#include <tbb/enumerable_thread_specific.h>

#include <chrono>
#include <string>

#include "app/little_endian.h"
#include "app/corner_weld.h"
#include "app/errors.h"
#include "app/parallel.h"

namespace {
constexpr std::size_t kVertexBytes = 9 * 4;
constexpr std::size_t kFaceBytes = 1 + 3 * 4;
}  // namespace

void WritePly(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress, const ExportOptions& options) {
  auto start = std::chrono::steady_clock::now();
  std::vector<MeshView> views;
  for (const ExportNode& node : scene.nodes)
    if (!node.isGroup) views.push_back(node.View());
  const WeldPlan plan = PlanWeld(views, options.threads);
  const std::uint64_t vertices = plan.vertices(), faces = plan.faces();
  // Face lists use 32-bit signed indices, the type every PLY reader knows.
  if (vertices > 0x7FFFFFFFu) throw InputError("the scene has too many vertices for PLY: " + std::to_string(vertices));
  if (options.times) options.times->normals += SecondsSince(start);
  start = std::chrono::steady_clock::now();

  const std::string header =
      "ply\nformat binary_little_endian 1.0\ncomment written by gramora\n"
      "element vertex " + std::to_string(vertices) +
      "\nproperty float x\nproperty float y\nproperty float z\n"
      "property float nx\nproperty float ny\nproperty float nz\n"
      "property float u\nproperty float v\nproperty float w\n"
      "element face " + std::to_string(faces) +
      "\nproperty list uchar int vertex_indices\nend_header\n";
  file.Write(header.data(), header.size());
  file.Flush();

  // Every run's vertices and faces go straight to their place in the file.
  const std::uint64_t vertexSection = header.size(), faceSection = vertexSection + vertices * kVertexBytes;
  SharedProgress shared(progress, double(vertices + faces));
  tbb::enumerable_thread_specific<std::vector<char>> buffers;
  ForEachWeldedRun(views, plan, options.threads, [&](std::size_t item, const WeldedMesh& w) {
    std::vector<char>& bytes = buffers.local();
    bytes.resize(std::max(w.vertexCount() * kVertexBytes, w.faceCount() * kFaceBytes));
    char* p = bytes.data();
    for (std::size_t i = 0; i < w.vertexCount(); ++i)
      for (const Point3* v : {&w.positions[i], &w.normals[i], &w.uvw[i]})
        for (int k = 0; k < 3; ++k) p = PutF32(p, (*v)[k]);
    file.WriteAt(vertexSection + plan.vertexStart[item] * kVertexBytes, bytes.data(), w.vertexCount() * kVertexBytes);
    const auto base = static_cast<std::uint32_t>(plan.vertexStart[item]);
    p = bytes.data();
    for (std::size_t f = 0; f < w.faceCount(); ++f) {
      *p++ = 3;
      for (int c = 0; c < 3; ++c) p = PutU32(p, base + w.indices[3 * f + c]);
    }
    file.WriteAt(faceSection + plan.faceStart[item] * kFaceBytes, bytes.data(), w.faceCount() * kFaceBytes);
    shared.Add(double(w.vertexCount() + w.faceCount()));
  });
  if (options.times) options.times->write += SecondsSince(start);
}
