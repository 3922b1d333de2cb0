#include "sdk/mesh.h"

#include <new>
#include <stdexcept>

#include "sdk/memory.h"

namespace {
// Sizes one array; any allocation failure empties the whole mesh and reports FALSE.
template <class T>
BOOL Resize(Mesh& m, HostVector<T>& v, int n, BOOL keep) {
  // The system promises memory it may not have: a size it cannot hold is refused up front, so the
  // build fails cleanly instead of the process being killed while the array is filled.
  if (n < 0 || !HostCanHold(static_cast<size_t>(n) * sizeof(T))) {
    m.FreeAll();
    return FALSE;
  }
  try {
    if (keep) {
      v.resize(static_cast<size_t>(n));
    } else {
      HostVector<T>().swap(v);
      v.resize(static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    m.FreeAll();
    return FALSE;
  } catch (const std::length_error&) {
    m.FreeAll();
    return FALSE;
  }
  m.InvalidateGeomCache();
  return TRUE;
}
}  // namespace

BOOL Mesh::setNumVerts(int n, BOOL keep, BOOL) { return Resize(*this, verts, n, keep); }
BOOL Mesh::setNumFaces(int n, BOOL keep, BOOL) { return Resize(*this, faces, n, keep); }
BOOL Mesh::setNumTVerts(int n, BOOL keep) { return Resize(*this, tVerts, n, keep); }
BOOL Mesh::setNumTVFaces(int n, BOOL keep, int) { return Resize(*this, tvFace, n, keep); }

void Mesh::FreeAll() {
  HostVector<Point3>().swap(verts);
  HostVector<Face>().swap(faces);
  HostVector<UVVert>().swap(tVerts);
  HostVector<TVFace>().swap(tvFace);
  HostVector<Point3>().swap(faceNormals_);
  HostVector<Point3>().swap(vertexNormals_);
  normalsValid_ = normalsComputed_ = false;
}

void Mesh::buildNormals() {
  normalsValid_ = true;
  normalsComputed_ = false;
}

void Mesh::ComputeNormals() const {
  if (!normalsValid_ || normalsComputed_) return;
  const size_t nv = verts.size();
  faceNormals_.assign(faces.size(), Point3());
  vertexNormals_.assign(nv, Point3());
  for (size_t f = 0; f < faces.size(); ++f) {
    const Face& face = faces[f];
    if (face.v[0] >= nv || face.v[1] >= nv || face.v[2] >= nv) continue;
    const Point3& a = verts[face.v[0]];
    // The unnormalised cross product weights each face by its area in the vertex sums.
    const Point3 n = (verts[face.v[1]] - a) ^ (verts[face.v[2]] - a);
    faceNormals_[f] = n.Normalized();
    if (face.smGroup == 0) continue;
    for (DWORD vi : face.v) vertexNormals_[vi] += n;
  }
  for (Point3& n : vertexNormals_) n.Normalize();
  normalsComputed_ = true;
}

std::size_t Mesh::BytesFor(std::size_t verts, std::size_t faces, std::size_t tVerts, std::size_t tvFaces) {
  // In double: counts near the address space would wrap; the caller only compares the estimate.
  const double bytes = static_cast<double>(verts) * (sizeof(Point3) * 2) +
                       static_cast<double>(faces) * (sizeof(Face) + sizeof(Point3)) +
                       static_cast<double>(tVerts) * sizeof(UVVert) + static_cast<double>(tvFaces) * sizeof(TVFace);
  return bytes >= 1.8e19 ? SIZE_MAX : static_cast<std::size_t>(bytes);
}

void Mesh::buildRenderNormals() {
  if (!normalsValid_) buildNormals();
}

Point3 Mesh::getCornerNormal(int f, int corner) const {
  ComputeNormals();
  const Face& face = faces[f];
  if (face.smGroup == 0 || face.v[corner] >= vertexNormals_.size()) return faceNormals_[f];
  return vertexNormals_[face.v[corner]];
}

int Mesh::RemoveIllegalFaces() {
  const DWORD nv = static_cast<DWORD>(verts.size());
  const bool pairedTV = tvFace.size() == faces.size();
  size_t out = 0;
  for (size_t f = 0; f < faces.size(); ++f) {
    const DWORD* v = faces[f].v;
    const bool illegal = v[0] >= nv || v[1] >= nv || v[2] >= nv || v[0] == v[1] || v[1] == v[2] || v[0] == v[2];
    if (illegal) continue;
    faces[out] = faces[f];
    if (pairedTV) tvFace[out] = tvFace[f];
    ++out;
  }
  const int removed = static_cast<int>(faces.size() - out);
  faces.resize(out);
  if (pairedTV) tvFace.resize(out);
  if (removed) InvalidateTopologyCache();
  return removed;
}

Box3 Mesh::getBoundingBox(const Matrix3* tm) const {
  Box3 b;
  for (const Point3& p : verts) b += tm ? tm->PointTransform(p) : p;
  return b;
}
