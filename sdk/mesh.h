// Triangle meshes: vertices, faces, texture vertices and faces, and normals built from smoothing groups.
#pragma once
#include <vector>

#include "sdk/geom.h"
#include "sdk/large_alloc.h"
#include "sdk/platform.h"

// Edge-visibility bits of Face::flags.
constexpr DWORD EDGE_A = 1;
constexpr DWORD EDGE_B = 2;
constexpr DWORD EDGE_C = 4;
constexpr DWORD EDGE_ALL = EDGE_A | EDGE_B | EDGE_C;

// A triangle: three vertex indices, a smoothing-group mask and flags (edge visibility in bits 0-2).
struct Face {
  DWORD v[3] = {0, 0, 0};
  DWORD smGroup = 0;
  DWORD flags = 0;

  void setVerts(DWORD a, DWORD b, DWORD c) {
    v[0] = a;
    v[1] = b;
    v[2] = c;
  }
  DWORD getVert(int i) const { return v[i]; }
  void setSmGroup(DWORD g) { smGroup = g; }
  DWORD getSmGroup() const { return smGroup; }
  void setEdgeVisFlags(int va, int vb, int vc) {
    flags = (flags & ~EDGE_ALL) | (va ? EDGE_A : 0) | (vb ? EDGE_B : 0) | (vc ? EDGE_C : 0);
  }
  BOOL getEdgeVis(int edge) const { return (flags >> edge) & 1; }
  bool operator==(const Face&) const = default;
};

// A texture triangle: three texture-vertex indices.
struct TVFace {
  DWORD t[3] = {0, 0, 0};
  void setTVerts(DWORD a, DWORD b, DWORD c) {
    t[0] = a;
    t[1] = b;
    t[2] = c;
  }
  DWORD getTVert(int i) const { return t[i]; }
  bool operator==(const TVFace&) const = default;
};

using UVVert = Point3;

// A triangle mesh. Arrays are public so builders write straight into them; the setNum* calls size
// them (new elements are value-initialised) and return FALSE, leaving the mesh empty, when the
// memory cannot be had. Copies are deep; moves are cheap. Large arrays live in huge pages and a
// rebuild of the same size reuses the memory the previous build freed (HostAllocator).
class Mesh {
 public:
  HostVector<Point3> verts;
  HostVector<Face> faces;
  HostVector<UVVert> tVerts;
  HostVector<TVFace> tvFace;

  int getNumVerts() const { return static_cast<int>(verts.size()); }
  int getNumFaces() const { return static_cast<int>(faces.size()); }
  int getNumTVerts() const { return static_cast<int>(tVerts.size()); }
  int getNumTVFaces() const { return static_cast<int>(tvFace.size()); }

  BOOL setNumVerts(int n, BOOL keep = FALSE, BOOL synchSel = TRUE);
  BOOL setNumFaces(int n, BOOL keep = FALSE, BOOL synchSel = TRUE);
  BOOL setNumTVerts(int n, BOOL keep = FALSE);
  BOOL setNumTVFaces(int n, BOOL keep = FALSE, int oldCt = 0);

  Point3& getVert(int i) { return verts[i]; }
  const Point3& getVert(int i) const { return verts[i]; }
  void setVert(int i, const Point3& p) { verts[i] = p; }
  void setTVert(int i, const UVVert& p) { tVerts[i] = p; }

  // Marks derived data (normals, bounds) stale after the arrays were written.
  void InvalidateGeomCache() { normalsValid_ = normalsComputed_ = false; }
  void InvalidateTopologyCache() { normalsValid_ = normalsComputed_ = false; }

  // Face normals, and vertex normals averaged over the faces that share a smoothing group with the
  // vertex (area-weighted); faces with no smoothing group keep their own face normal. They are
  // computed when first read, from the vertices as they are then, so a mesh whose normals nobody
  // reads (a lawn written to OBJ) never pays for them. The first read is not safe to share
  // between threads.
  void buildNormals();
  // The bytes a mesh of these counts holds once its normals are built (one per face and one per vertex).
  static std::size_t BytesFor(std::size_t verts, std::size_t faces, std::size_t tVerts, std::size_t tvFaces);
  // Normals for rendering: the same vertex normals, built only when stale.
  void buildRenderNormals();
  bool normalsValid() const { return normalsValid_; }
  const Point3& getFaceNormal(int f) const { return faceNormals()[f]; }
  // The vertex normal to use for corner `corner` of face `f` (the face normal when faceted).
  Point3 getCornerNormal(int f, int corner) const;
  const HostVector<Point3>& faceNormals() const {
    ComputeNormals();
    return faceNormals_;
  }
  const HostVector<Point3>& vertexNormals() const {
    ComputeNormals();
    return vertexNormals_;
  }

  // Deletes faces with repeated or out-of-range vertex indices, with their texture faces.
  // Returns the number of faces removed.
  int RemoveIllegalFaces();

  // Bounding box of the vertices, transformed by tm when given.
  Box3 getBoundingBox(const Matrix3* tm = nullptr) const;

  // Empties every array.
  void FreeAll();
  bool operator==(const Mesh& o) const {
    return verts == o.verts && faces == o.faces && tVerts == o.tVerts && tvFace == o.tvFace;
  }

 private:
  // Fills the normal arrays when normals were asked for and not yet computed.
  void ComputeNormals() const;

  mutable HostVector<Point3> faceNormals_;
  mutable HostVector<Point3> vertexNormals_;
  bool normalsValid_ = false;             // asked for since the last change
  mutable bool normalsComputed_ = false;  // and filled in
};
