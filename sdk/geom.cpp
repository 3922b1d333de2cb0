#include "sdk/geom.h"

#include <algorithm>

namespace {
Matrix3 RotationRows(const Point3& r0, const Point3& r1, const Point3& r2) { return Matrix3(r0, r1, r2, Point3()); }
}  // namespace

bool Matrix3::IsIdentity() const { return *this == Matrix3(); }

Matrix3 RotateXMatrix(float a) {
  const float c = std::cos(a), s = std::sin(a);
  return RotationRows({1.f, 0.f, 0.f}, {0.f, c, s}, {0.f, -s, c});
}
Matrix3 RotateYMatrix(float a) {
  const float c = std::cos(a), s = std::sin(a);
  return RotationRows({c, 0.f, -s}, {0.f, 1.f, 0.f}, {s, 0.f, c});
}
Matrix3 RotateZMatrix(float a) {
  const float c = std::cos(a), s = std::sin(a);
  return RotationRows({c, s, 0.f}, {-s, c, 0.f}, {0.f, 0.f, 1.f});
}
Matrix3 TransMatrix(const Point3& p) {
  Matrix3 m;
  m.SetTrans(p);
  return m;
}
Matrix3 ScaleMatrix(const Point3& s) { return RotationRows({s.x, 0.f, 0.f}, {0.f, s.y, 0.f}, {0.f, 0.f, s.z}); }

void Matrix3::RotateX(float a) { *this = *this * RotateXMatrix(a); }
void Matrix3::RotateY(float a) { *this = *this * RotateYMatrix(a); }
void Matrix3::RotateZ(float a) { *this = *this * RotateZMatrix(a); }
void Matrix3::Scale(const Point3& s) { *this = *this * ScaleMatrix(s); }

void Matrix3::SetAngleAxis(const Point3& k, float angle) {
  // Row-vector form of Rodrigues' rotation: the transpose of the column-vector matrix.
  const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  m_[0] = {t * k.x * k.x + c, t * k.x * k.y + s * k.z, t * k.x * k.z - s * k.y};
  m_[1] = {t * k.x * k.y - s * k.z, t * k.y * k.y + c, t * k.y * k.z + s * k.x};
  m_[2] = {t * k.x * k.z + s * k.y, t * k.y * k.z - s * k.x, t * k.z * k.z + c};
  m_[3] = {};
}

Matrix3 Matrix3::operator*(const Matrix3& b) const {
  Matrix3 r;
  for (int i = 0; i < 3; ++i) r.m_[i] = b.VectorTransform(m_[i]);
  r.m_[3] = b.PointTransform(m_[3]);
  return r;
}

Matrix3 Inverse(const Matrix3& m) {
  const Point3 a = m[0], b = m[1], c = m[2];
  const Point3 bc = b ^ c, ca = c ^ a, ab = a ^ b;
  const float det = a % bc;
  if (det == 0.0f || !std::isfinite(det)) return Matrix3();
  const float inv = 1.0f / det;
  // Columns of the inverse 3x3 are the cross products divided by the determinant.
  Matrix3 r(Point3(bc.x, ca.x, ab.x) * inv, Point3(bc.y, ca.y, ab.y) * inv, Point3(bc.z, ca.z, ab.z) * inv, Point3());
  r.SetTrans(-r.VectorTransform(m.GetTrans()));
  return r;
}

Box3& Box3::operator+=(const Point3& p) {
  pmin = {std::min(pmin.x, p.x), std::min(pmin.y, p.y), std::min(pmin.z, p.z)};
  pmax = {std::max(pmax.x, p.x), std::max(pmax.y, p.y), std::max(pmax.z, p.z)};
  return *this;
}

Box3& Box3::operator+=(const Box3& b) {
  if (!b.IsEmpty()) {
    *this += b.pmin;
    *this += b.pmax;
  }
  return *this;
}

bool Box3::Contains(const Point3& p) const {
  return !IsEmpty() && p.x >= pmin.x && p.x <= pmax.x && p.y >= pmin.y && p.y <= pmax.y && p.z >= pmin.z &&
         p.z <= pmax.z;
}

Box3 Box3::operator*(const Matrix3& m) const {
  Box3 r;
  if (IsEmpty()) return r;
  for (int i = 0; i < 8; ++i)
    r += m.PointTransform({(i & 1) ? pmax.x : pmin.x, (i & 2) ? pmax.y : pmin.y, (i & 4) ? pmax.z : pmin.z});
  return r;
}
