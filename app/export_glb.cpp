#include "app/export_glb.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

#include "app/binary_sink.h"
#include "app/corner_weld.h"
#include "app/errors.h"

using nlohmann::json;

namespace {

constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr std::uint32_t kMagic = 0x46546C67;  // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;
constexpr std::uint32_t kBinChunk = 0x004E4942;

// Z-up to Y-up: a proper rotation (-90 degrees about X), so triangle winding is kept.
Point3 YUp(const Point3& p) { return Point3(p.x, p.z, -p.y); }

// One mesh's arrays exactly as they go into the binary chunk.
struct GlbMesh {
  std::vector<float> positions, normals, texcoords, cut;
  std::vector<std::uint32_t> indices;
  float min[3], max[3];
};

GlbMesh ToGlb(const WeldedMesh& w) {
  GlbMesh g;
  const std::size_t n = w.vertexCount();
  g.positions.reserve(3 * n);
  g.normals.reserve(3 * n);
  g.texcoords.reserve(2 * n);
  g.cut.reserve(n);
  std::fill(g.min, g.min + 3, std::numeric_limits<float>::max());
  std::fill(g.max, g.max + 3, std::numeric_limits<float>::lowest());
  for (std::size_t i = 0; i < n; ++i) {
    const Point3 p = YUp(w.positions[i]), q = YUp(w.normals[i]);
    for (int k = 0; k < 3; ++k) {
      g.positions.push_back(p[k]);
      g.normals.push_back(q[k]);
      g.min[k] = std::min(g.min[k], p[k]);
      g.max[k] = std::max(g.max[k], p[k]);
    }
    g.texcoords.push_back(w.uvw[i].x);
    g.texcoords.push_back(w.uvw[i].y);
    g.cut.push_back(w.uvw[i].z);
  }
  g.indices = w.indices;
  return g;
}

// Appends a buffer view and its accessor; returns the accessor index.
int AddAccessor(json& doc, std::uint64_t& offset, std::uint64_t bytes, int target, std::size_t count,
                const char* type, int componentType) {
  json view = {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}, {"target", target}};
  doc["bufferViews"].push_back(view);
  offset += bytes;  // every array holds 4-byte values, so each view starts 4-byte aligned
  json acc = {{"bufferView", doc["bufferViews"].size() - 1},
              {"componentType", componentType},
              {"count", count},
              {"type", type}};
  doc["accessors"].push_back(acc);
  return static_cast<int>(doc["accessors"].size() - 1);
}

}  // namespace

void WriteGlb(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress) {
  const std::size_t count = scene.nodes.size();
  std::vector<GlbMesh> meshes;
  std::vector<int> meshOf(count, -1);
  std::vector<std::size_t> nodeOfMesh;
  for (std::size_t i = 0; i < count; ++i) {
    const ExportNode& node = scene.nodes[i];
    if (node.isGroup) continue;
    WeldedMesh w = WeldCorners(node.mesh);
    // glTF forbids empty accessors, so a node without faces is written without a mesh.
    if (w.faceCount() == 0) continue;
    meshOf[i] = static_cast<int>(meshes.size());
    nodeOfMesh.push_back(i);
    meshes.push_back(ToGlb(w));
  }

  json doc = {{"asset", {{"version", "2.0"}, {"generator", "gramora"}}}, {"scene", 0}};
  json roots = json::array();
  doc["nodes"] = json::array();
  for (std::size_t i = 0; i < count; ++i) {
    json node = {{"name", scene.nodes[i].name}};
    if (meshOf[i] >= 0) node["mesh"] = meshOf[i];
    doc["nodes"].push_back(node);
  }
  for (std::size_t i = 0; i < count; ++i) {
    const int p = scene.nodes[i].parent;
    const bool grouped = p >= 0 && std::size_t(p) < count && std::size_t(p) != i && scene.nodes[p].isGroup;
    if (grouped)
      doc["nodes"][p]["children"].push_back(i);
    else
      roots.push_back(i);
  }
  if (count == 0) doc.erase("nodes");
  doc["scenes"] = json::array({roots.empty() ? json::object() : json{{"nodes", roots}}});

  std::uint64_t offset = 0;
  for (std::size_t m = 0; m < meshes.size(); ++m) {
    const GlbMesh& g = meshes[m];
    const std::size_t n = g.cut.size();
    json attributes;
    const int pos = AddAccessor(doc, offset, 12 * n, kArrayBuffer, n, "VEC3", kFloat);
    doc["accessors"][pos]["min"] = {g.min[0], g.min[1], g.min[2]};
    doc["accessors"][pos]["max"] = {g.max[0], g.max[1], g.max[2]};
    attributes["POSITION"] = pos;
    attributes["NORMAL"] = AddAccessor(doc, offset, 12 * n, kArrayBuffer, n, "VEC3", kFloat);
    attributes["TEXCOORD_0"] = AddAccessor(doc, offset, 8 * n, kArrayBuffer, n, "VEC2", kFloat);
    attributes["_CUT"] = AddAccessor(doc, offset, 4 * n, kArrayBuffer, n, "SCALAR", kFloat);
    const int idx = AddAccessor(doc, offset, 4 * g.indices.size(), kElementArrayBuffer, g.indices.size(), "SCALAR",
                                kUnsignedInt);
    doc["meshes"].push_back(
        {{"name", scene.nodes[nodeOfMesh[m]].name}, {"primitives", json::array({{{"attributes", attributes}, {"indices", idx}}})}});
  }
  if (offset > 0) doc["buffers"] = json::array({{{"byteLength", offset}}});

  std::string text = doc.dump();
  text.append((4 - text.size() % 4) % 4, ' ');  // chunks are padded to 4 bytes, JSON with spaces
  const std::uint64_t total = 12 + 8 + text.size() + (offset > 0 ? 8 + offset : 0);
  if (total > 0xFFFFFFFFu) throw InputError("the scene is too large for a glb file (over 4 GiB)");

  BinarySink out(file);
  out.U32(kMagic);
  out.U32(2);
  out.U32(static_cast<std::uint32_t>(total));
  out.U32(static_cast<std::uint32_t>(text.size()));
  out.U32(kJsonChunk);
  out.Bytes(text.data(), text.size());
  if (offset > 0) {
    out.U32(static_cast<std::uint32_t>(offset));
    out.U32(kBinChunk);
    double done = 0;
    for (const GlbMesh& g : meshes) {
      out.Floats(g.positions.data(), g.positions.size());
      out.Floats(g.normals.data(), g.normals.size());
      out.Floats(g.texcoords.data(), g.texcoords.size());
      out.Floats(g.cut.data(), g.cut.size());
      out.U32s(g.indices.data(), g.indices.size());
      if (progress) progress(done += 1, double(meshes.size()));
    }
  }
  out.Flush();
}
