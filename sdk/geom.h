// Points, affine matrices and boxes in single precision, with the host's row-vector conventions.
#pragma once
#include <cmath>

// A point or vector of three floats.
class Point3 {
 public:
  float x = 0, y = 0, z = 0;

  constexpr Point3() = default;
  constexpr Point3(float X, float Y, float Z) : x(X), y(Y), z(Z) {}
  constexpr Point3(double X, double Y, double Z)
      : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}
  constexpr Point3(int X, int Y, int Z)
      : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}

  constexpr float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  constexpr float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

  constexpr Point3 operator-() const { return {-x, -y, -z}; }
  constexpr Point3 operator+(const Point3& p) const { return {x + p.x, y + p.y, z + p.z}; }
  constexpr Point3 operator-(const Point3& p) const { return {x - p.x, y - p.y, z - p.z}; }
  constexpr Point3 operator*(float f) const { return {x * f, y * f, z * f}; }
  constexpr Point3 operator/(float f) const { return {x / f, y / f, z / f}; }
  constexpr Point3& operator+=(const Point3& p) {
    x += p.x;
    y += p.y;
    z += p.z;
    return *this;
  }
  constexpr Point3& operator-=(const Point3& p) {
    x -= p.x;
    y -= p.y;
    z -= p.z;
    return *this;
  }
  constexpr Point3& operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
  }
  constexpr bool operator==(const Point3& p) const = default;

  // Dot product.
  constexpr float operator%(const Point3& p) const { return x * p.x + y * p.y + z * p.z; }
  // Cross product.
  constexpr Point3 operator^(const Point3& p) const {
    return {y * p.z - z * p.y, z * p.x - x * p.z, x * p.y - y * p.x};
  }

  float Length() const { return std::sqrt(x * x + y * y + z * z); }
  constexpr float LengthSquared() const { return x * x + y * y + z * z; }
  // Scales to unit length; a zero vector stays zero.
  Point3& Normalize() {
    float l = Length();
    if (l != 0.0f) {
      x /= l;
      y /= l;
      z /= l;
    }
    return *this;
  }
  Point3 Normalized() const {
    Point3 p = *this;
    return p.Normalize();
  }
};

inline constexpr Point3 operator*(float f, const Point3& p) { return p * f; }
inline float Length(const Point3& p) { return p.Length(); }
inline float LengthSquared(const Point3& p) { return p.LengthSquared(); }
inline Point3 Normalize(const Point3& p) { return p.Normalized(); }
inline float DotProd(const Point3& a, const Point3& b) { return a % b; }
inline Point3 CrossProd(const Point3& a, const Point3& b) { return a ^ b; }

// An affine transform: three axis rows and a translation row. Points are row vectors:
// PointTransform(p) = p.x*row0 + p.y*row1 + p.z*row2 + row3, and A*B applies A first.
class Matrix3 {
 public:
  Matrix3() { IdentityMatrix(); }
  Matrix3(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3) : m_{r0, r1, r2, r3} {}

  void IdentityMatrix() {
    m_[0] = {1.f, 0.f, 0.f};
    m_[1] = {0.f, 1.f, 0.f};
    m_[2] = {0.f, 0.f, 1.f};
    m_[3] = {};
  }
  bool IsIdentity() const;
  const Point3& GetRow(int i) const { return m_[i]; }
  void SetRow(int i, const Point3& p) { m_[i] = p; }
  Point3& operator[](int i) { return m_[i]; }
  const Point3& operator[](int i) const { return m_[i]; }

  Point3 GetTrans() const { return m_[3]; }
  void SetTrans(const Point3& p) { m_[3] = p; }
  void NoTrans() { m_[3] = {}; }
  void Translate(const Point3& p) { m_[3] += p; }

  // Incremental rotations, post-multiplied: RotateX turns +Y towards +Z, RotateY +Z towards +X,
  // RotateZ +X towards +Y (right-handed, angles in radians).
  void RotateX(float angle);
  void RotateY(float angle);
  void RotateZ(float angle);
  // Post-multiplies a scale.
  void Scale(const Point3& s);
  // Sets this matrix to the right-handed rotation by angle about the unit axis (no translation).
  void SetAngleAxis(const Point3& axis, float angle);

  Point3 PointTransform(const Point3& p) const {
    return {p.x * m_[0].x + p.y * m_[1].x + p.z * m_[2].x + m_[3].x,
            p.x * m_[0].y + p.y * m_[1].y + p.z * m_[2].y + m_[3].y,
            p.x * m_[0].z + p.y * m_[1].z + p.z * m_[2].z + m_[3].z};
  }
  Point3 VectorTransform(const Point3& p) const {
    return {p.x * m_[0].x + p.y * m_[1].x + p.z * m_[2].x, p.x * m_[0].y + p.y * m_[1].y + p.z * m_[2].y,
            p.x * m_[0].z + p.y * m_[1].z + p.z * m_[2].z};
  }

  // Product that applies this matrix first, then b.
  Matrix3 operator*(const Matrix3& b) const;
  Matrix3& operator*=(const Matrix3& b) { return *this = *this * b; }
  bool operator==(const Matrix3& b) const = default;

 private:
  Point3 m_[4];
};

inline Point3 operator*(const Point3& p, const Matrix3& m) { return m.PointTransform(p); }
inline Point3 VectorTransform(const Matrix3& m, const Point3& p) { return m.VectorTransform(p); }
// The inverse of an affine transform; a singular matrix gives the identity.
Matrix3 Inverse(const Matrix3& m);
Matrix3 RotateXMatrix(float angle);
Matrix3 RotateYMatrix(float angle);
Matrix3 RotateZMatrix(float angle);
Matrix3 TransMatrix(const Point3& p);
Matrix3 ScaleMatrix(const Point3& s);

// An axis-aligned box; a new box is empty.
class Box3 {
 public:
  Point3 pmin{1e30f, 1e30f, 1e30f};
  Point3 pmax{-1e30f, -1e30f, -1e30f};

  Box3() = default;
  Box3(const Point3& a, const Point3& b) : pmin(a), pmax(b) {}
  void Init() { *this = Box3(); }
  bool IsEmpty() const { return pmin.x > pmax.x || pmin.y > pmax.y || pmin.z > pmax.z; }
  Point3 Min() const { return pmin; }
  Point3 Max() const { return pmax; }
  Point3 Center() const { return (pmin + pmax) * 0.5f; }
  Point3 Width() const { return IsEmpty() ? Point3() : pmax - pmin; }
  Box3& operator+=(const Point3& p);
  Box3& operator+=(const Box3& b);
  bool Contains(const Point3& p) const;
  // The box around this box's eight corners transformed by m.
  Box3 operator*(const Matrix3& m) const;
};
