// Per-corner vertex data for formats that keep one normal and one texture coordinate per vertex.
#pragma once
#include <cstdint>
#include <vector>

#include "sdk/mesh.h"

// A mesh re-indexed so that each output vertex has one position, normal and texture coordinate:
// corners that agree on all three share an output vertex.
struct WeldedMesh {
  std::vector<Point3> positions;
  std::vector<Point3> normals;  // unit length everywhere
  std::vector<Point3> uvw;      // (u, v, w); (0, 0, 0) for corners without a texture face
  std::vector<std::uint32_t> indices;  // three per kept face

  std::size_t vertexCount() const { return positions.size(); }
  std::size_t faceCount() const { return indices.size() / 3; }
};

// Builds the welded form of `mesh` (from a copy with normals built when its own are not). Faces
// naming a vertex that does not exist are left out; a face uses its texture face only when the mesh
// has exactly one texture face per face and that texture face's indices exist; a zero normal
// (degenerate face) becomes +Z.
WeldedMesh WeldCorners(const Mesh& mesh);

// True when face `f` of `mesh` has a usable texture face (see WeldCorners).
inline bool HasTextureFace(const Mesh& mesh, std::size_t f) {
  if (mesh.tvFace.size() != mesh.faces.size()) return false;
  const std::size_t nt = mesh.tVerts.size();
  const TVFace& t = mesh.tvFace[f];
  return t.t[0] < nt && t.t[1] < nt && t.t[2] < nt;
}

// True when every vertex index of face `f` names an existing vertex.
inline bool HasValidVerts(const Mesh& mesh, std::size_t f) {
  const std::size_t nv = mesh.verts.size();
  const Face& face = mesh.faces[f];
  return face.v[0] < nv && face.v[1] < nv && face.v[2] < nv;
}
