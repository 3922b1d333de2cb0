// Per-corner vertex data for formats that keep one normal and one texture coordinate per vertex,
// worked out run by run so that large meshes weld in parallel with little scratch memory.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "app/face_runs.h"
#include "app/mesh_view.h"
#include "app/parallel.h"

// Corners re-indexed so that each output vertex has one position, normal and texture coordinate:
// corners that agree on all three share an output vertex.
struct WeldedMesh {
  std::vector<Point3> positions;       // world space
  std::vector<Point3> normals;         // unit length everywhere
  std::vector<Point3> uvw;             // (u, v, w); (0, 0, 0) for corners without a texture face
  std::vector<std::uint32_t> indices;  // three per kept face, from 0

  std::size_t vertexCount() const { return positions.size(); }
  std::size_t faceCount() const { return indices.size() / 3; }
};

// True when face `f` of `mesh` has a usable texture face: the mesh has exactly one texture face
// per face and that texture face's indices exist.
inline bool HasTextureFace(const Mesh& mesh, std::size_t f) {
  if (mesh.tvFace.size() != mesh.faces.size()) return false;
  const std::size_t nt = mesh.tVerts.size();
  const TVFace& t = mesh.tvFace[f];
  return t.t[0] < nt && t.t[1] < nt && t.t[2] < nt;
}

// The welded form of a whole mesh: positions in world space, normals built from them exactly as
// Mesh::buildNormals builds them on a world-space copy, corners numbered in order of first use.
// Faces naming a vertex that does not exist are left out; a zero normal (degenerate face)
// becomes +Z.
WeldedMesh WeldCorners(const MeshView& view);

// Where each run of a scene's meshes lands in the welded output: the scene's meshes split into
// independent runs of faces (IndependentFaceRuns), and for every run the number of output vertices
// and faces before it, counted over the whole scene in node order.
struct WeldPlan {
  struct Item {
    std::size_t mesh;  // index into the views the plan was made for
    FaceRun run;
  };
  // One mesh's share of the output.
  struct Part {
    std::size_t firstItem = 0, items = 0;
    std::uint64_t vertexStart = 0, vertices = 0, faceStart = 0, faces = 0;
    Point3 lo, hi;  // bounds of the welded positions (valid when vertices > 0)
  };
  std::vector<Item> items;
  std::vector<std::uint64_t> vertexStart, faceStart;  // per item, then the scene's totals
  std::vector<Part> parts;                            // per mesh

  std::uint64_t vertices() const { return vertexStart.back(); }
  std::uint64_t faces() const { return faceStart.back(); }
};

// Counts the welded output of every mesh (null meshes count as empty), in parallel.
WeldPlan PlanWeld(const std::vector<MeshView>& views, int threads);

// Welds every item of the plan again and hands it to emit(item index, welded run), on up to
// `threads` workers in any order. A run's output vertices start at plan.vertexStart[item] and its
// faces at plan.faceStart[item]; its indices count from 0.
void ForEachWeldedRun(const std::vector<MeshView>& views, const WeldPlan& plan, int threads,
                      const std::function<void(std::size_t item, const WeldedMesh& run)>& emit);

// Welds every item of the plan again on up to `threads` workers, which turn each into bytes
// (format), and hands the bytes to write strictly in item order, one item at a time.
void WriteWeldedRunsInOrder(const std::vector<MeshView>& views, const WeldPlan& plan, int threads,
                            const std::function<void(std::size_t item, const WeldedMesh& run, ByteBlock& out)>& format,
                            const std::function<void(std::size_t item, const ByteBlock& bytes)>& write);
