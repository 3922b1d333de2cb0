#include "app/corner_weld.h"

#include <tbb/enumerable_thread_specific.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "app/parallel.h"

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;
// Faces per run: enough work per task, and scratch arrays that stay in the caches.
constexpr std::size_t kRunFaces = 16384;

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

bool SameBits(const Point3& a, const Point3& b) {
  return std::bit_cast<std::uint32_t>(a.x) == std::bit_cast<std::uint32_t>(b.x) &&
         std::bit_cast<std::uint32_t>(a.y) == std::bit_cast<std::uint32_t>(b.y) &&
         std::bit_cast<std::uint32_t>(a.z) == std::bit_cast<std::uint32_t>(b.z);
}

// A normal fit for formats that demand unit vectors: degenerate faces have none, so they get +Z.
inline Point3 UnitNormal(Point3 n) {
  // Built normals are already unit length to float precision; only the others are renormalised.
  const float len2 = n.LengthSquared();
  if (len2 > 0.999999f && len2 < 1.000001f) return n;
  const double len = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
  if (!(len > 1e-20) || !std::isfinite(len)) return Point3(0.0f, 0.0f, 1.0f);
  return Point3(double(n.x) / len, double(n.y) / len, double(n.z) / len);
}

// Per-thread working arrays, sized by the run and kept between runs.
struct Scratch {
  std::vector<Point3> world;         // positions of the run's vertex span
  std::vector<Point3> vertexNormal;  // area-weighted sums, then the unit normal written per corner
  std::vector<Point3> faceNormal;    // per face of the run: the unit normal of a faceted face
  std::vector<std::uint32_t> firstSlot;
  std::vector<std::uint32_t> slotTv;  // the texture vertex and normal of each vertex's first slot
  std::vector<Point3> slotNormal;
  std::unordered_map<CornerKey, std::uint32_t, CornerKeyHash> extra;
  WeldedMesh out;
  std::size_t faces = 0;  // faces welded (kept), when counting
};

// Welds a plain run (see WeldRun) whose vertices [lo, lo + span) are in s.world: all corners of a
// vertex agree, so each used vertex is one output vertex, numbered in order of first use.
void WeldPlainRun(const Mesh& mesh, FaceRun run, std::uint32_t lo, std::size_t span, Scratch& s, bool counting) {
  WeldedMesh& out = s.out;
  s.firstSlot.assign(span, kNone);
  if (!counting) {
    // Normals as Mesh::buildNormals builds them on the world-space mesh, in the same order.
    s.vertexNormal.assign(span, Point3());
    for (std::size_t f = run.begin; f < run.end; ++f) {
      if (!HasValidVerts(mesh, f)) continue;
      const DWORD* v = mesh.faces[f].v;
      const Point3& a = s.world[v[0] - lo];
      const Point3 n = (s.world[v[1] - lo] - a) ^ (s.world[v[2] - lo] - a);
      for (int c = 0; c < 3; ++c) s.vertexNormal[v[c] - lo] += n;
    }
    out.indices.reserve(3 * (run.end - run.begin));
    out.normals.reserve(span);
    out.uvw.reserve(span);
  }
  out.positions.reserve(span);
  for (std::size_t f = run.begin; f < run.end; ++f) {
    if (!HasValidVerts(mesh, f)) continue;
    ++s.faces;
    for (DWORD v : mesh.faces[f].v) {
      std::uint32_t& slot = s.firstSlot[v - lo];
      if (slot == kNone) {
        slot = static_cast<std::uint32_t>(out.positions.size());
        out.positions.push_back(s.world[v - lo]);
        if (!counting) {
          out.normals.push_back(UnitNormal(s.vertexNormal[v - lo].Normalized()));
          out.uvw.push_back(mesh.tVerts[v]);
        }
      }
      if (!counting) out.indices.push_back(slot);
    }
  }
}

// Welds faces [run.begin, run.end). Normals are summed over the run's faces only, which is the
// whole sum when no face outside the run uses its vertices. Most vertices have one texture vertex
// and one normal: the first corner seen for a vertex claims a slot of its own and only
// disagreeing corners go through the hash map.
//
// With `counting`, only out.positions is filled and the faces are counted in s.faces (enough to
// count and bound the output), and a run without faceted faces skips its normals: there every
// corner of a vertex has the vertex's normal, so corners agree exactly when their texture
// vertices do.
void WeldRun(const MeshView& view, FaceRun run, Scratch& s, bool counting) {
  const Mesh& mesh = *view.mesh;
  WeldedMesh& out = s.out;
  out.positions.clear();
  out.normals.clear();
  out.uvw.clear();
  out.indices.clear();
  s.extra.clear();
  s.faces = 0;
  s.slotTv.clear();
  s.slotNormal.clear();

  std::uint32_t lo = kNone, hi = 0;
  bool faceted = false;
  // Plain: every face smooth, with a texture face naming its own corners (texture vertex k for
  // vertex k), as every mesh made of generated blades is.
  bool plain = mesh.tvFace.size() == mesh.faces.size();
  for (std::size_t f = run.begin; f < run.end; ++f) {
    if (!HasValidVerts(mesh, f)) continue;
    const Face& face = mesh.faces[f];
    lo = std::min({lo, face.v[0], face.v[1], face.v[2]});
    hi = std::max({hi, face.v[0], face.v[1], face.v[2]});
    faceted = faceted || face.smGroup == 0;
    const DWORD* t = plain ? mesh.tvFace[f].t : nullptr;
    plain = plain && face.smGroup != 0 && t[0] == face.v[0] && t[1] == face.v[1] && t[2] == face.v[2];
  }
  if (lo == kNone) return;
  plain = plain && hi < mesh.tVerts.size();
  const std::size_t span = std::size_t(hi - lo) + 1;
  s.world.resize(span);
  for (std::size_t i = 0; i < span; ++i) s.world[i] = view.WorldVertex(lo + i);
  if (plain) {
    WeldPlainRun(mesh, run, lo, span, s, counting);
    return;
  }

  const bool normals = !counting || faceted;
  if (normals) {
    // Normals as Mesh::buildNormals builds them on the world-space mesh, in the same order.
    s.vertexNormal.assign(span, Point3());
    s.faceNormal.resize(run.end - run.begin);
    for (std::size_t f = run.begin; f < run.end; ++f) {
      if (!HasValidVerts(mesh, f)) continue;
      const Face& face = mesh.faces[f];
      const Point3& a = s.world[face.v[0] - lo];
      // The unnormalised cross product weights each face by its area in the vertex sums.
      const Point3 n = (s.world[face.v[1] - lo] - a) ^ (s.world[face.v[2] - lo] - a);
      if (face.smGroup == 0) {
        s.faceNormal[f - run.begin] = UnitNormal(n.Normalized());
        continue;
      }
      for (DWORD vi : face.v) s.vertexNormal[vi - lo] += n;
    }
    for (Point3& n : s.vertexNormal) n = UnitNormal(n.Normalized());
  }

  s.firstSlot.assign(span, kNone);
  const std::size_t corners = 3 * (run.end - run.begin);
  out.positions.reserve(std::min(span, corners));
  if (!counting) {
    out.indices.reserve(corners);
    out.normals.reserve(std::min(span, corners));
    out.uvw.reserve(std::min(span, corners));
  }
  // A corner's output vertex, kept unless only counting.
  const auto put = [&](std::uint32_t index) {
    if (!counting) out.indices.push_back(index);
  };
  for (std::size_t f = run.begin; f < run.end; ++f) {
    if (!HasValidVerts(mesh, f)) continue;
    ++s.faces;
    const Face& face = mesh.faces[f];
    const bool textured = HasTextureFace(mesh, f);
    for (int c = 0; c < 3; ++c) {
      const std::uint32_t v = face.v[c];
      const std::uint32_t tv = textured ? mesh.tvFace[f].t[c] : kNone;
      const Point3 n = !normals ? Point3() : face.smGroup == 0 ? s.faceNormal[f - run.begin] : s.vertexNormal[v - lo];
      const std::uint32_t index = s.firstSlot[v - lo];
      // A vertex's first corner takes a slot of its own; later corners that agree use it.
      if (index != kNone && s.slotTv[index] == tv && SameBits(s.slotNormal[index], n)) {
        put(index);
        continue;
      }
      const auto fresh = static_cast<std::uint32_t>(out.positions.size());
      if (index == kNone) {
        s.firstSlot[v - lo] = fresh;
      } else {
        auto [it, inserted] = s.extra.try_emplace(MakeKey(v, tv, n), fresh);
        if (!inserted) {
          put(it->second);
          continue;
        }
      }
      out.positions.push_back(s.world[v - lo]);
      if (!counting) {
        out.normals.push_back(n);
        out.uvw.push_back(tv == kNone ? Point3() : mesh.tVerts[tv]);
      }
      s.slotTv.push_back(tv);
      s.slotNormal.push_back(n);
      put(fresh);
    }
  }
}

// Bounds in output order; std::min and std::max keep the first of equal values (+0 and -0), so
// run-wise bounds merged in order equal the bounds of one pass.
void Grow(Point3& lo, Point3& hi, const Point3& p) {
  for (int k = 0; k < 3; ++k) {
    lo[k] = std::min(lo[k], p[k]);
    hi[k] = std::max(hi[k], p[k]);
  }
}

constexpr float kBig = std::numeric_limits<float>::max();

}  // namespace

WeldedMesh WeldCorners(const MeshView& view) {
  Scratch s;
  WeldRun(view, {0, view.mesh->faces.size()}, s, false);
  return std::move(s.out);
}

WeldPlan PlanWeld(const std::vector<MeshView>& views, int threads) {
  WeldPlan plan;
  plan.parts.resize(views.size());
  for (std::size_t m = 0; m < views.size(); ++m) {
    plan.parts[m].firstItem = plan.items.size();
    if (!views[m].mesh) continue;
    for (FaceRun run : IndependentFaceRuns(*views[m].mesh, kRunFaces, threads)) plan.items.push_back({m, run});
    plan.parts[m].items = plan.items.size() - plan.parts[m].firstItem;
  }
  struct Count {
    std::uint64_t vertices = 0, faces = 0;
    Point3 lo{kBig, kBig, kBig}, hi{-kBig, -kBig, -kBig};
  };
  std::vector<Count> counts(plan.items.size());
  tbb::enumerable_thread_specific<Scratch> scratch;
  ParallelFor(threads, plan.items.size(), [&](std::size_t i) {
    Scratch& s = scratch.local();
    WeldRun(views[plan.items[i].mesh], plan.items[i].run, s, true);
    Count& c = counts[i];
    c.vertices = s.out.vertexCount();
    c.faces = s.faces;
    for (const Point3& p : s.out.positions) Grow(c.lo, c.hi, p);
  });

  plan.vertexStart.assign(plan.items.size() + 1, 0);
  plan.faceStart.assign(plan.items.size() + 1, 0);
  for (std::size_t i = 0; i < plan.items.size(); ++i) {
    plan.vertexStart[i + 1] = plan.vertexStart[i] + counts[i].vertices;
    plan.faceStart[i + 1] = plan.faceStart[i] + counts[i].faces;
  }
  for (WeldPlan::Part& part : plan.parts) {
    const std::size_t first = part.firstItem, end = first + part.items;
    part.vertexStart = plan.vertexStart[first];
    part.faceStart = plan.faceStart[first];
    part.vertices = plan.vertexStart[end] - part.vertexStart;
    part.faces = plan.faceStart[end] - part.faceStart;
    part.lo = Point3(kBig, kBig, kBig);
    part.hi = Point3(-kBig, -kBig, -kBig);
    for (std::size_t i = first; i < end; ++i) {
      if (counts[i].vertices == 0) continue;
      for (int k = 0; k < 3; ++k) {
        part.lo[k] = std::min(part.lo[k], counts[i].lo[k]);
        part.hi[k] = std::max(part.hi[k], counts[i].hi[k]);
      }
    }
  }
  return plan;
}

void ForEachWeldedRun(const std::vector<MeshView>& views, const WeldPlan& plan, int threads,
                      const std::function<void(std::size_t item, const WeldedMesh& run)>& emit) {
  tbb::enumerable_thread_specific<Scratch> scratch;
  ParallelFor(threads, plan.items.size(), [&](std::size_t i) {
    Scratch& s = scratch.local();
    WeldRun(views[plan.items[i].mesh], plan.items[i].run, s, false);
    emit(i, s.out);
  });
}

void WriteWeldedRunsInOrder(const std::vector<MeshView>& views, const WeldPlan& plan, int threads,
                            const std::function<void(std::size_t item, const WeldedMesh& run, ByteBlock& out)>& format,
                            const std::function<void(std::size_t item, const ByteBlock& bytes)>& write) {
  tbb::enumerable_thread_specific<Scratch> scratch;
  OrderedPipeline(
      threads, plan.items.size(),
      [&](std::size_t i, ByteBlock& out) {
        Scratch& s = scratch.local();
        WeldRun(views[plan.items[i].mesh], plan.items[i].run, s, false);
        format(i, s.out, out);
      },
      write);
}
