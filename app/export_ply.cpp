#include "app/export_ply.h"

#include <string>

#include "app/binary_sink.h"
#include "app/corner_weld.h"
#include "app/errors.h"

void WritePly(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress) {
  std::vector<WeldedMesh> parts;
  std::uint64_t vertices = 0, faces = 0;
  for (const ExportNode& node : scene.nodes) {
    if (node.isGroup) continue;
    parts.push_back(WeldCorners(node.mesh));
    vertices += parts.back().vertexCount();
    faces += parts.back().faceCount();
  }
  // Face lists use 32-bit signed indices, the type every PLY reader knows.
  if (vertices > 0x7FFFFFFFu) throw InputError("the scene has too many vertices for PLY: " + std::to_string(vertices));

  const std::string header =
      "ply\nformat binary_little_endian 1.0\ncomment written by gramora\n"
      "element vertex " + std::to_string(vertices) +
      "\nproperty float x\nproperty float y\nproperty float z\n"
      "property float nx\nproperty float ny\nproperty float nz\n"
      "property float u\nproperty float v\nproperty float w\n"
      "element face " + std::to_string(faces) +
      "\nproperty list uchar int vertex_indices\nend_header\n";
  BinarySink out(file);
  out.Bytes(header.data(), header.size());

  const double total = double(vertices + faces);
  double done = 0;
  for (const WeldedMesh& w : parts) {
    for (std::size_t i = 0; i < w.vertexCount(); ++i) {
      for (const Point3* p : {&w.positions[i], &w.normals[i], &w.uvw[i]}) {
        out.F32(p->x);
        out.F32(p->y);
        out.F32(p->z);
      }
    }
    if (progress) progress(done += double(w.vertexCount()), total);
  }
  std::uint32_t base = 0;
  for (const WeldedMesh& w : parts) {
    for (std::size_t f = 0; f < w.faceCount(); ++f) {
      out.U8(3);
      for (int c = 0; c < 3; ++c) out.U32(base + w.indices[3 * f + c]);
    }
    base += static_cast<std::uint32_t>(w.vertexCount());
    if (progress) progress(done += double(w.faceCount()), total);
  }
  out.Flush();
}
