#include "mower/mow.h"

#include <algorithm>
#include <cmath>

namespace {

// The region of one pass, with the rectangle's borders rounded to single precision once.
class Region {
 public:
  explicit Region(const MowPass& p)
      : circle_(p.shape == kMowCircle),
        xmin_(p.centre.x - p.width * 0.5f),
        xmax_(p.centre.x + p.width * 0.5f),
        ymin_(p.centre.y - p.height * 0.5f),
        ymax_(p.centre.y + p.height * 0.5f),
        centre_(p.centre),
        radius_(p.radius) {}

  // The rectangle ignores z and excludes its border; the circle measures in three dimensions
  // and includes its rim, so a zero radius still holds a root exactly at the centre.
  bool Inside(const Point3& q) const {
    if (circle_) {
      const Point3 d = q - centre_;
      const float dist = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
      return dist <= radius_;
    }
    return xmin_ < q.x && q.x < xmax_ && ymin_ < q.y && q.y < ymax_;
  }

 private:
  bool circle_;
  float xmin_, xmax_, ymin_, ymax_;
  Point3 centre_;
  float radius_;
};

// One pass over the mesh arrays, held as raw pointers so the scan stays a tight loop.
class Mower {
 public:
  Mower(Mesh& mesh, const MowPass& pass)
      : faces_(mesh.faces.data()),
        numFaces_(mesh.getNumFaces()),
        pos_(mesh.verts.data()),
        tv_(mesh.tVerts.data()),
        region_(pass),
        length_(pass.length),
        invert_(pass.invert) {}

  int Run() {
    int cut = 0;
    int f = 0;
    while (f < numFaces_) {
      const DWORD* v = faces_[f].v;
      // Most faces lie wholly above the root row; only the first band can hold a root.
      if (tv_[v[0]].y > 0.0f && tv_[v[1]].y > 0.0f && tv_[v[2]].y > 0.0f) {
        ++f;
        continue;
      }
      if (!Triggers(v)) {
        ++f;
        continue;
      }
      const int next = Walk(f);
      f = next > f ? next : f + 1;
      ++cut;
    }
    return cut;
  }

 private:
  // A root is a vertex with blade coordinate and cut mark both exactly 0; once a blade's top is
  // marked its root row still counts, so passes over time keep cutting the same blade.
  bool Triggers(const DWORD* v) const {
    for (int k = 0; k < 3; ++k) {
      const Point3& t = tv_[v[k]];
      if (t.y == 0.0f && t.z == 0.0f && region_.Inside(pos_[v[k]]) != invert_) return true;
    }
    return false;
  }

  float Coord(int face, int k) const { return tv_[faces_[face].v[k]].y; }
  bool AllBelowOne(int face) const { return Coord(face, 0) < 1.0f && Coord(face, 1) < 1.0f && Coord(face, 2) < 1.0f; }
  bool AllAboveZero(int face) const { return Coord(face, 0) > 0.0f && Coord(face, 1) > 0.0f && Coord(face, 2) > 0.0f; }

  // Cuts the blade whose first triggering face is f; returns the index after the last face
  // processed (f itself when none was).
  int Walk(int f) {
    int last = f;
    int j = f;
    // Phase A: the body, up to and including the first face reaching row 14.
    while (j < numFaces_ && AllBelowOne(last)) {
      Clip(j);
      last = j++;
    }
    // Phase B: the rest of the top band and the tip triangles, which carry the cut mark. It runs
    // only when phase A ended above the root row, and stops before the next blade's first face,
    // the first one touching the root row again.
    if (AllAboveZero(last)) {
      while (j < numFaces_ && AllAboveZero(j)) {
        Clip(j);
        for (DWORD vi : faces_[j].v) tv_[vi].z = length_;
        ++j;
      }
    }
    return j;
  }

  // The point of the edge from m (above the cut) to p (not above it) where the blade coordinate
  // equals the cut length. The fraction is kept in single precision, as the positions are.
  Point3 Toward(const Point3& pm, float cm, const Point3& pp, float cp) const {
    const float t = (cm - length_) / (cm - cp);
    return pm + (pp - pm) * t;
  }

  // Moves the vertices of one face that lie above the cut onto the cut, towards a vertex below it;
  // positions are read now, so moves made for earlier faces show.
  void Clip(int face) {
    const DWORD a = faces_[face].v[0], b = faces_[face].v[1], c = faces_[face].v[2];
    const Point3 pa = pos_[a], pb = pos_[b], pc = pos_[c];
    const float ca = tv_[a].y, cb = tv_[b].y, cc = tv_[c].y;
    const int above = (ca > length_ ? 1 : 0) | (cb > length_ ? 2 : 0) | (cc > length_ ? 4 : 0);
    switch (above) {
      case 1: pos_[a] = Toward(pa, ca, pb, cb); break;
      case 2: pos_[b] = Toward(pb, cb, pa, ca); break;
      case 4: pos_[c] = Toward(pc, cc, pa, ca); break;
      case 3:
        pos_[a] = Toward(pa, ca, pc, cc);
        pos_[b] = Toward(pb, cb, pc, cc);
        break;
      case 5:
        pos_[a] = Toward(pa, ca, pb, cb);
        pos_[c] = Toward(pc, cc, pb, cb);
        break;
      case 6:
        pos_[b] = Toward(pb, cb, pa, ca);
        pos_[c] = Toward(pc, cc, pa, ca);
        break;
      case 7:
        // Nothing of the face is at or below the cut: it collapses onto its first vertex.
        pos_[b] = pa;
        pos_[c] = pa;
        break;
      default: break;
    }
  }

  Face* faces_;
  int numFaces_;
  Point3* pos_;
  Point3* tv_;
  Region region_;
  float length_;
  bool invert_;
};

}  // namespace

MowCheck CheckMowable(const Mesh& mesh) {
  const size_t nv = mesh.verts.size();
  if (mesh.tVerts.size() < nv) return MowCheck::kTooFewTextureVertices;
  // One running maximum keeps this a branch-free pass over the face list.
  DWORD highest = 0;
  for (const Face& face : mesh.faces) {
    highest = std::max({highest, face.v[0], face.v[1], face.v[2]});
  }
  if (!mesh.faces.empty() && static_cast<size_t>(highest) >= nv) return MowCheck::kFaceIndexOutOfRange;
  return MowCheck::kMowable;
}

int MowMesh(Mesh& mesh, const MowPass& pass) { return Mower(mesh, pass).Run(); }
