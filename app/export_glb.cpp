#include "app/export_glb.h"

#include <chrono>
#include <nlohmann/json.hpp>

#include "app/corner_weld.h"
#include "app/errors.h"
#include "app/little_endian.h"
#include "app/parallel.h"
#include "app/region_writer.h"

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

// Where one mesh's five arrays start in the file.
struct MeshPlace {
  std::uint64_t positions, normals, texcoords, cut, indices;
};

// Appends a buffer view and its accessor; returns the accessor index.
int AddAccessor(json& doc, std::uint64_t& offset, std::uint64_t bytes, int target, std::uint64_t count,
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

// One welded run's share of its mesh's five arrays, one after the other.
void FormatRun(const WeldedMesh& w, std::size_t first, ByteBlock& out) {
  const std::size_t n = w.vertexCount();
  char* p = out.Room(36 * n + 4 * w.indices.size());
  for (std::size_t i = 0; i < n; ++i) {
    const Point3 q = YUp(w.positions[i]);
    p = PutF32(PutF32(PutF32(p, q.x), q.y), q.z);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const Point3 q = YUp(w.normals[i]);
    p = PutF32(PutF32(PutF32(p, q.x), q.y), q.z);
  }
  for (std::size_t i = 0; i < n; ++i) p = PutF32(PutF32(p, w.uvw[i].x), w.uvw[i].y);
  for (std::size_t i = 0; i < n; ++i) p = PutF32(p, w.uvw[i].z);
  for (std::uint32_t index : w.indices) p = PutU32(p, static_cast<std::uint32_t>(first + index));
  out.size = static_cast<std::size_t>(p - out.data.get());
}

}  // namespace

void WriteGlb(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress, const ExportOptions& options) {
  auto start = std::chrono::steady_clock::now();
  const std::size_t count = scene.nodes.size();
  std::vector<MeshView> views;
  std::vector<std::size_t> viewOf(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    viewOf[i] = views.size();
    views.push_back(scene.nodes[i].isGroup ? MeshView{} : scene.nodes[i].View());
  }
  const WeldPlan plan = PlanWeld(views, options.threads);
  if (options.times) options.times->normals += SecondsSince(start);
  start = std::chrono::steady_clock::now();

  // glTF forbids empty accessors, so a node without faces is written without a mesh.
  std::vector<int> meshOf(count, -1);
  std::vector<std::size_t> nodeOfMesh;
  for (std::size_t i = 0; i < count; ++i) {
    if (plan.parts[viewOf[i]].faces == 0) continue;
    meshOf[i] = static_cast<int>(nodeOfMesh.size());
    nodeOfMesh.push_back(i);
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
    if (grouped) doc["nodes"][p]["children"].push_back(i);
    else roots.push_back(i);
  }
  if (count == 0) doc.erase("nodes");
  doc["scenes"] = json::array({roots.empty() ? json::object() : json{{"nodes", roots}}});

  std::uint64_t offset = 0;
  std::vector<MeshPlace> places(views.size());
  for (std::size_t m = 0; m < nodeOfMesh.size(); ++m) {
    const WeldPlan::Part& part = plan.parts[viewOf[nodeOfMesh[m]]];
    const std::uint64_t n = part.vertices, corners = 3 * part.faces;
    MeshPlace& at = places[viewOf[nodeOfMesh[m]]];
    json attributes;
    at.positions = offset;
    const int pos = AddAccessor(doc, offset, 12 * n, kArrayBuffer, n, "VEC3", kFloat);
    // The bounds in Y-up: (x, z, -y), so the least third value is minus the greatest y.
    doc["accessors"][pos]["min"] = {part.lo.x, part.lo.z, -part.hi.y};
    doc["accessors"][pos]["max"] = {part.hi.x, part.hi.z, -part.lo.y};
    attributes["POSITION"] = pos;
    at.normals = offset;
    attributes["NORMAL"] = AddAccessor(doc, offset, 12 * n, kArrayBuffer, n, "VEC3", kFloat);
    at.texcoords = offset;
    attributes["TEXCOORD_0"] = AddAccessor(doc, offset, 8 * n, kArrayBuffer, n, "VEC2", kFloat);
    at.cut = offset;
    attributes["_CUT"] = AddAccessor(doc, offset, 4 * n, kArrayBuffer, n, "SCALAR", kFloat);
    at.indices = offset;
    const int idx = AddAccessor(doc, offset, 4 * corners, kElementArrayBuffer, corners, "SCALAR", kUnsignedInt);
    doc["meshes"].push_back({{"name", scene.nodes[nodeOfMesh[m]].name},
                             {"primitives", json::array({{{"attributes", attributes}, {"indices", idx}}})}});
  }
  if (offset > 0) doc["buffers"] = json::array({{{"byteLength", offset}}});

  std::string text = doc.dump();
  text.append((4 - text.size() % 4) % 4, ' ');  // chunks are padded to 4 bytes, JSON with spaces
  const std::uint64_t total = 12 + 8 + text.size() + (offset > 0 ? 8 + offset : 0);
  if (total > 0xFFFFFFFFu) throw InputError("the scene is too large for a glb file (over 4 GiB)");

  // Everything before the binary chunk's contents goes out in one write.
  std::string head(20, '\0');
  char* p = head.data();
  for (std::uint64_t word :
       {std::uint64_t{kMagic}, std::uint64_t{2}, total, std::uint64_t{text.size()}, std::uint64_t{kJsonChunk}})
    p = PutU32(p, static_cast<std::uint32_t>(word));
  head += text;
  if (offset > 0) {
    head.resize(head.size() + 8);
    PutU32(PutU32(head.data() + head.size() - 8, static_cast<std::uint32_t>(offset)), kBinChunk);
  }
  file.Write(head.data(), head.size());
  file.Flush();

  // The binary chunk: the runs in order, each mesh's five arrays filled by five streams.
  const std::uint64_t binary = head.size();
  RegionWriter writer(file, binary + offset >= options.directBytes);
  std::vector<RegionWriter::Stream> streams;
  std::size_t current = views.size();  // the mesh the streams belong to
  double done = 0;
  WriteWeldedRunsInOrder(
      views, plan, options.threads,
      [&](std::size_t item, const WeldedMesh& w, ByteBlock& out) {
        const WeldPlan::Part& part = plan.parts[plan.items[item].mesh];
        FormatRun(w, plan.vertexStart[item] - part.vertexStart, out);
      },
      [&](std::size_t item, const ByteBlock& bytes) {
        const std::size_t mesh = plan.items[item].mesh;
        if (plan.parts[mesh].faces == 0) return;
        if (mesh != current) {
          for (RegionWriter::Stream& s : streams) s.Close();
          streams.clear();
          const MeshPlace& at = places[mesh];
          for (std::uint64_t o : {at.positions, at.normals, at.texcoords, at.cut, at.indices})
            streams.push_back(writer.Open(binary + o));
          current = mesh;
        }
        const std::uint64_t n = plan.vertexStart[item + 1] - plan.vertexStart[item];
        const char* p = bytes.data.get();
        for (std::size_t a = 0; a < 5; ++a) {
          const std::uint64_t size = a == 4 ? bytes.size - 36 * n : (a < 2 ? 12 : a == 2 ? 8 : 4) * n;
          streams[a].Append(p, size);
          p += size;
        }
        if (progress) progress(done += double(plan.faceStart[item + 1] - plan.faceStart[item]), double(plan.faces()));
      });
  for (RegionWriter::Stream& s : streams) s.Close();
  writer.Finish();
  if (options.times) options.times->write += SecondsSince(start);
}
