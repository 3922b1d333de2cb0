// Mowing: shortening, in place, the generated blades of a mesh whose roots lie in a region.
#pragma once
#include "sdk/geom.h"
#include "sdk/mesh.h"

// The two region shapes of the mower ("shape" parameter).
constexpr int kMowRectangle = 0;
constexpr int kMowCircle = 1;

// Everything one mowing pass needs: the region around the gizmo centre and the cut length.
struct MowPass {
  int shape = kMowRectangle;  // kMowRectangle or kMowCircle
  float width = 0.0f;         // rectangle extent along local X
  float height = 0.0f;        // rectangle extent along local Y
  float radius = 0.0f;        // circle radius, measured in three dimensions
  float length = 0.5f;        // blade coordinate (texture v) at which blades are cut, 0 to 1
  Point3 centre;              // gizmo centre in the object's local space
  bool invert = false;        // cut the blades whose roots lie outside the region instead
};

// Why a mesh cannot be mowed; kMowable when it can.
enum class MowCheck { kMowable, kTooFewTextureVertices, kFaceIndexOutOfRange };

// Checks the two assumptions the walk reads through: a texture vertex for every vertex (texture
// vertex k belongs to vertex k) and every face index naming an existing vertex.
MowCheck CheckMowable(const Mesh& mesh);

// Runs one pass over a mesh that CheckMowable accepted: every blade with a root (texture v and w
// both exactly 0) inside the region (outside when inverted) is cut at `length` and its top marked
// with the cut length in texture w. Allocates nothing. Returns the number of blades cut.
int MowMesh(Mesh& mesh, const MowPass& pass);
