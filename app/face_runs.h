// Splitting a mesh's faces into runs that share no vertex, so that each run's normals and welded
// corners can be worked out on their own, on any thread, with scratch memory the size of the run.
#pragma once
#include <cstddef>
#include <vector>

#include "sdk/mesh.h"

// Faces [begin, end) of a mesh.
struct FaceRun {
  std::size_t begin = 0, end = 0;
};

// Consecutive runs covering every face in order, most of them about `target` faces long, such that
// no vertex is used by the faces of two runs (a face naming a vertex that does not exist uses
// none). Meshes made of separate pieces (blades, tufts) split at piece boundaries; faces that
// cannot be split (a grid whose rows share vertices) stay one run. Empty for a mesh without faces.
std::vector<FaceRun> IndependentFaceRuns(const Mesh& mesh, std::size_t target, int threads);

// True when every vertex index of face `f` names an existing vertex.
inline bool HasValidVerts(const Mesh& mesh, std::size_t f) {
  const std::size_t nv = mesh.verts.size();
  const Face& face = mesh.faces[f];
  return face.v[0] < nv && face.v[1] < nv && face.v[2] < nv;
}
