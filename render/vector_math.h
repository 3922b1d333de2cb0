// The renderer's arithmetic on miVector, written once for every file of the renderer.
#pragma once
#include <cmath>

#include "render/renderer.h"
#include "render/shader_interface.h"

namespace gramora::render {

constexpr float kPi = 3.14159265358979f;

inline miVector operator+(const miVector& a, const miVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline miVector operator-(const miVector& a, const miVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline miVector operator*(float s, const miVector& a) { return {s * a.x, s * a.y, s * a.z}; }
inline float Dot(const miVector& a, const miVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline miVector Cross(const miVector& a, const miVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const miVector& a) { return std::sqrt(Dot(a, a)); }
// a scaled to unit length; a zero vector stays zero.
inline miVector Normalised(const miVector& a) {
  const float len = Length(a);
  return len > 0.0f ? (1.0f / len) * a : a;
}
inline miVector ToMi(const Vec3& v) { return {v.x, v.y, v.z}; }

// Offset that lifts a ray origin off the surface at p in float precision.
inline float SurfaceEpsilon(const miVector& p) {
  return 1e-4f * (1.0f + std::fmax(std::fabs(p.x), std::fmax(std::fabs(p.y), std::fabs(p.z))));
}

}  // namespace gramora::render
