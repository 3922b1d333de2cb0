#include "app/corner_weld.h"

#include <cmath>
#include <cstring>
#include <unordered_map>

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// The identity of one output vertex: source vertex, texture vertex and the normal's bits.
struct CornerKey {
  std::uint32_t v, tv;
  std::uint32_t n[3];
  bool operator==(const CornerKey&) const = default;
};

struct CornerKeyHash {
  std::size_t operator()(const CornerKey& k) const {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t x : {k.v, k.tv, k.n[0], k.n[1], k.n[2]}) h = (h ^ x) * 1099511628211ull;
    return static_cast<std::size_t>(h);
  }
};

CornerKey MakeKey(std::uint32_t v, std::uint32_t tv, const Point3& n) {
  CornerKey k{v, tv, {}};
  std::memcpy(k.n, &n, sizeof k.n);
  return k;
}

// A normal fit for formats that demand unit vectors: degenerate faces have none, so they get +Z.
Point3 UnitNormal(Point3 n) {
  // Built normals are already unit length to float precision; only the others are renormalised.
  const float len2 = n.LengthSquared();
  if (len2 > 0.999999f && len2 < 1.000001f) return n;
  const double len = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
  if (!(len > 1e-20) || !std::isfinite(len)) return Point3(0.0f, 0.0f, 1.0f);
  return Point3(double(n.x) / len, double(n.y) / len, double(n.z) / len);
}

}  // namespace

WeldedMesh WeldCorners(const Mesh& mesh) {
  if (!mesh.normalsValid()) {
    Mesh withNormals = mesh;
    withNormals.buildNormals();
    return WeldCorners(withNormals);
  }
  WeldedMesh out;
  const std::size_t nf = mesh.faces.size();
  // Most meshes give each vertex one texture vertex and one normal; the first corner seen for a
  // vertex claims a slot of its own and only disagreeing corners go through the hash map.
  std::vector<std::uint32_t> firstSlot(mesh.verts.size(), kNone);
  std::unordered_map<CornerKey, std::uint32_t, CornerKeyHash> extra;
  out.positions.reserve(mesh.verts.size());
  out.normals.reserve(mesh.verts.size());
  out.uvw.reserve(mesh.verts.size());
  out.indices.reserve(nf * 3);
  std::vector<CornerKey> slotKeys;
  slotKeys.reserve(mesh.verts.size());

  for (std::size_t f = 0; f < nf; ++f) {
    if (!HasValidVerts(mesh, f)) continue;
    const bool textured = HasTextureFace(mesh, f);
    for (int c = 0; c < 3; ++c) {
      const std::uint32_t v = mesh.faces[f].v[c];
      const std::uint32_t tv = textured ? mesh.tvFace[f].t[c] : kNone;
      const Point3 n = UnitNormal(mesh.getCornerNormal(static_cast<int>(f), c));
      const CornerKey key = MakeKey(v, tv, n);
      std::uint32_t index = firstSlot[v];
      if (index == kNone || !(slotKeys[index] == key)) {
        std::uint32_t fresh = static_cast<std::uint32_t>(out.positions.size());
        if (index != kNone) {
          auto [it, inserted] = extra.try_emplace(key, fresh);
          if (!inserted) {
            out.indices.push_back(it->second);
            continue;
          }
        } else {
          firstSlot[v] = fresh;
        }
        out.positions.push_back(mesh.verts[v]);
        out.normals.push_back(n);
        out.uvw.push_back(tv == kNone ? Point3() : mesh.tVerts[tv]);
        slotKeys.push_back(key);
        index = fresh;
      }
      out.indices.push_back(index);
    }
  }
  return out;
}
