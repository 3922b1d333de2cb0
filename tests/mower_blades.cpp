#include "tests/mower_blades.h"

Mesh StraightBlade(int weldings, const Point3& root) {
  const int columns = weldings + 2;
  const int tip = 15 * columns;
  Mesh m;
  m.setNumVerts(tip + 1);
  m.setNumTVerts(tip + 1);
  m.setNumFaces(29 * (weldings + 1));
  m.setNumTVFaces(29 * (weldings + 1));
  for (int i = 0; i < 15; ++i) {
    for (int j = 0; j < columns; ++j) {
      m.verts[i * columns + j] = root + Point3(0.25f * j, 0.0f, 0.5f * i);
      m.tVerts[i * columns + j] = Point3(static_cast<float>(j) / (weldings + 1), i / 14.0f, 0.0f);
    }
  }
  m.verts[tip] = root + Point3(0.125f * columns, 0.0f, 7.5f);
  m.tVerts[tip] = Point3(0.5f, 1.0f, 0.0f);
  auto v = [&](int r, int c) { return static_cast<DWORD>(r * columns + c); };
  int f = 0;
  for (int i = 0; i < 14; ++i) {
    for (int k = 0; k <= weldings; ++k) {
      m.faces[f++].setVerts(v(i, k), v(i, k + 1), v(i + 1, k + 1));
      m.faces[f++].setVerts(v(i + 1, k + 1), v(i + 1, k), v(i, k));
    }
  }
  for (int k = 0; k <= weldings; ++k) m.faces[f++].setVerts(v(14, k), v(14, k + 1), static_cast<DWORD>(tip));
  for (int i = 0; i < f; ++i) {
    m.tvFace[i].setTVerts(m.faces[i].v[0], m.faces[i].v[1], m.faces[i].v[2]);
    m.faces[i].setSmGroup(1);
    m.faces[i].setEdgeVisFlags(1, 1, 0);
  }
  return m;
}

void AppendBlade(Mesh& mesh, const Mesh& blade) {
  const DWORD base = static_cast<DWORD>(mesh.verts.size());
  mesh.verts.insert(mesh.verts.end(), blade.verts.begin(), blade.verts.end());
  mesh.tVerts.insert(mesh.tVerts.end(), blade.tVerts.begin(), blade.tVerts.end());
  for (size_t i = 0; i < blade.faces.size(); ++i) {
    Face f = blade.faces[i];
    TVFace t = blade.tvFace[i];
    for (int k = 0; k < 3; ++k) {
      f.v[k] += base;
      t.t[k] += base;
    }
    mesh.faces.push_back(f);
    mesh.tvFace.push_back(t);
  }
}
