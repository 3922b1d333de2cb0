// A mesh as the writers read it: borrowed, with the transform that takes it to world space.
#pragma once
#include "sdk/mesh.h"

// A borrowed mesh and its object-to-world transform (null: the vertices are already in world
// space). Writers transform each vertex as they read it, so no world-space copy is ever made; the
// arithmetic is Matrix3::PointTransform's, so the numbers are those of transforming a copy.
struct MeshView {
  const Mesh* mesh = nullptr;
  const Matrix3* tm = nullptr;

  Point3 World(const Point3& p) const { return tm ? tm->PointTransform(p) : p; }
  Point3 WorldVertex(std::size_t i) const { return World(mesh->verts[i]); }
};
