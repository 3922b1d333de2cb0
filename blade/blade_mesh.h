// The blade generator: one grass blade as a triangle mesh with texture coordinates.
#pragma once

#include <cstdint>

#include "sdk/mesh.h"

// The nine inputs of one blade, in call order. Lengths are in blade units before `size` scales
// them, except `maxLength`, which is in world units; angles are radians.
struct BladeParams {
  float size;        // uniform scale; the unscaled blade is 7.5 tall and at most 0.75 wide
  float stiffness;   // subtracted from every row's bend increment
  float gravity;     // bend strength, times the square of the row's relative height
  int weldings;      // interior columns (0 or more; a negative count builds as 0)
  float weldFactor;  // height of the sideways arch across the width
  float thinning;    // exponent of the narrowing of rows 8 to 14
  float rotationZ;   // turn of the finished blade about its Z axis
  float rotationX;   // tilt about X, applied after rotationZ
  float maxLength;   // unbent length beyond which rows bend harder; 0 or less switches it off
};

// Builds one blade standing on the origin along +Z: 15 * W + 31 vertices and texture vertices
// (rows of W + 2 from the root, the tip last, texture vertex k = (u, v, 0) of vertex k) and
// 29 * (W + 1) faces with equal texture faces, smoothing group 1, edges (on, on, off), normals
// built. Returns an empty mesh when the arrays cannot be allocated.
Mesh BuildBladeMesh(const BladeParams& params);

// Vertex (and texture-vertex) count of a blade with `weldings` interior columns: 15 * W + 31.
std::int64_t BladeVertexCount(int weldings);
// Face (and texture-face) count of a blade with `weldings` interior columns: 29 * (W + 1).
std::int64_t BladeFaceCount(int weldings);

// Writes BuildBladeMesh's vertices into verts[0 .. BladeVertexCount) and, when tVerts is not null,
// its texture vertices into tVerts, bit for bit the same, with no mesh and no normals: for
// builders that place many blades into one mesh. The texture vertices depend on `weldings` only.
// False, with nothing written, when a blade too wide for the stack cannot get its column table.
bool WriteBladeVertices(const BladeParams& params, Point3* verts, UVVert* tVerts);

// Writes BuildBladeMesh's faces and texture faces for `weldings` interior columns into
// faces[0 .. BladeFaceCount) and tvFaces: corners as in the blade's own vertex numbering.
void WriteBladeFaces(int weldings, Face* faces, TVFace* tvFaces);
