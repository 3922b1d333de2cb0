#include "app/export_ply.h"

#include <chrono>
#include <string>

#include "app/corner_weld.h"
#include "app/errors.h"
#include "app/little_endian.h"
#include "app/parallel.h"
#include "app/region_writer.h"

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
      "element vertex " +
      std::to_string(vertices) +
      "\nproperty float x\nproperty float y\nproperty float z\n"
      "property float nx\nproperty float ny\nproperty float nz\n"
      "property float u\nproperty float v\nproperty float w\n"
      "element face " +
      std::to_string(faces) + "\nproperty list uchar int vertex_indices\nend_header\n";
  file.Write(header.data(), header.size());
  file.Flush();

  // The runs in order: their vertices fill the vertex section, their faces the face section.
  const std::uint64_t vertexSection = header.size(), faceSection = vertexSection + vertices * kVertexBytes;
  RegionWriter writer(file, faceSection + faces * kFaceBytes >= options.directBytes);
  RegionWriter::Stream vertexStream = writer.Open(vertexSection), faceStream = writer.Open(faceSection);
  double done = 0;
  WriteWeldedRunsInOrder(
      views, plan, options.threads,
      [&](std::size_t item, const WeldedMesh& w, ByteBlock& out) {
        char* p = out.Room(w.vertexCount() * kVertexBytes + w.faceCount() * kFaceBytes);
        for (std::size_t i = 0; i < w.vertexCount(); ++i)
          for (const Point3* v : {&w.positions[i], &w.normals[i], &w.uvw[i]})
            for (int k = 0; k < 3; ++k) p = PutF32(p, (*v)[k]);
        const auto base = static_cast<std::uint32_t>(plan.vertexStart[item]);
        for (std::size_t f = 0; f < w.faceCount(); ++f) {
          *p++ = 3;
          for (int c = 0; c < 3; ++c) p = PutU32(p, base + w.indices[3 * f + c]);
        }
        out.size = static_cast<std::size_t>(p - out.data.get());
      },
      [&](std::size_t item, const ByteBlock& bytes) {
        const std::uint64_t v = plan.vertexStart[item + 1] - plan.vertexStart[item];
        vertexStream.Append(bytes.data.get(), v * kVertexBytes);
        faceStream.Append(bytes.data.get() + v * kVertexBytes, bytes.size - v * kVertexBytes);
        if (progress) progress(done += double(bytes.size), double(faceSection + faces * kFaceBytes));
      });
  vertexStream.Close();
  faceStream.Close();
  writer.Finish();
  if (options.times) options.times->write += SecondsSince(start);
}
