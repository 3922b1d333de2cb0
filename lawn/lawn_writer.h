// Writing a lawn's blades into one mesh: the part the blade and tuft lawns share once their random
// values are drawn.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "blade/blade_mesh.h"
#include "lawn/vector_field.h"
#include "sdk/mesh.h"

// Every lawn blade has two weldings, so all share one vertex and face layout.
inline constexpr int kLawnBladeWeldings = 2;

// One blade of a lawn as drawn: its generator inputs (two weldings), its root, and its grid cell
// (where the vector field is sampled).
struct LawnBlade {
  BladeParams params;
  Point3 root;
  int column, row;
};

// The vector field as one build applies it; `field` is null when no bend is applied.
struct LawnBend {
  const GPUVectorField2D* field = nullptr;
  float nx = 0.0f, ny = 0.0f;  // the grid the cells are found in
  std::uint32_t slice = 0;
  int frame = 0;
};

// Sizes a lawn mesh once and writes its blades into it: vertices in blade order (blade b at b * 61),
// each bent about its root and moved to it, the origin in the slots no blade took; faces, a shifted
// copy of the template blade's, only for the blades written (the (0, 0, 0) faces the full size
// would leave are the ones RemoveIllegalFaces drops, so they are never written). Each element is
// written once, by appending to reserved arrays, so pages are first touched by their writer.
class LawnMeshWriter {
 public:
  // `elements` names what the lawn holds in messages ("blades", "tufts").
  explicit LawnMeshWriter(const char* elements);

  // Checks and reserves the vertex arrays for trunc(numVerts) vertices and remembers
  // trunc(numFaces) as the face count the lawn is sized for (both counts as the builders compute
  // them, in single precision). False, with an error in the host's log and the mesh empty, when the
  // counts cannot be indexed or the memory cannot be had; a lawn whose whole peak (the mesh with its
  // normals times the copies the host holds, EstimatePeakBytes) is more than the process can have is
  // refused before anything is allocated, with the estimate and what to change. `cells` is for the
  // message.
  bool Size(float numVerts, float numFaces, double cells, Mesh& out);
  // How many blades fit the sized mesh.
  std::size_t Capacity() const;
  // Writes the blades (at most Capacity()). With threads 1 everything is written on the calling
  // thread; with 2 or more the faces get a worker of their own; with 0 a worker for large lawns
  // when the machine has a second hardware thread. The mesh is the same either way. False, with a
  // message and the mesh empty, when memory fails.
  bool Write(const std::vector<LawnBlade>& blades, const LawnBend& bend, int threads, Mesh& out);

  // Vertices and faces of one lawn blade (BladeVertexCount and BladeFaceCount of two weldings).
  std::size_t BladeVerts() const { return tVerts_.size(); }
  std::size_t BladeFaces() const { return faces_.size(); }

 private:
  void Report(const char* what) const;
  bool Affordable() const;
  bool WriteVertices(const std::vector<LawnBlade>& blades, const LawnBend& bend, Mesh& out) const;
  bool WriteFaces(std::size_t blades, Mesh& out) const;

  const char* elements_;
  double cells_ = 0.0;
  std::size_t numVerts_ = 0, numFaces_ = 0;
  std::vector<UVVert> tVerts_;  // a lawn blade's texture vertices (they depend on the weldings only)
  std::vector<Face> faces_;     // its faces, corners in the blade's own numbering (WriteBladeFaces)
};

// Room for n elements without creating any; false when the memory cannot be had.
template <class Vector>
bool ReserveElements(Vector& v, std::size_t n) {
  try {
    v.reserve(n);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}
