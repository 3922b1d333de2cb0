// Controllers: animatable values that references hold, here the transform controller of gizmos.
//
// Hosts and scene loaders place a gizmo through the default transform controller:
//
//   auto* c = static_cast<DefaultMatrix3Control*>(NewDefaultMatrix3Controller());
//   c->SetPosition(Point3(10, 0, 0));                      // constant position
//   c->SetPositionKey(0, Point3(0, 0, 0));                 // or keys, linear in between,
//   c->SetPositionKey(30 * GetTicksPerFrame(), Point3(20, 0, 0));  // constant outside
//   for (const PositionKey& k : c->PositionKeys()) save(k.t, k.p);
//
// Plug-ins read it through Control::GetValue (a Matrix3, usually in relative mode onto an
// identity matrix) and move it with a SetXFormPacket through Control::SetValue.
#pragma once
#include <vector>

#include "sdk/geom.h"
#include "sdk/ref.h"

// How GetValue and SetValue combine the controller's value with the one passed in.
enum GetSetMethod { CTRL_ABSOLUTE = 0, CTRL_RELATIVE = 1 };

// What a transform packet asks of a transform controller.
enum SetXFormCommand { XFORM_MOVE = 0, XFORM_ROTATE = 1, XFORM_SCALE = 2, XFORM_SET = 3 };

// A change to a transform controller: a move by an offset expressed in the axis matrix, for a
// controller whose value lives in the space of the parent matrix.
class SetXFormPacket {
 public:
  SetXFormPacket(const Point3& offset, const Matrix3& parent, const Matrix3& axis)
      : command(XFORM_MOVE), tmParent(parent), tmAxis(axis), p(offset) {}

  SetXFormCommand command;
  Matrix3 tmParent;
  Matrix3 tmAxis;
  Point3 p;
};

// An animatable value; transform controllers (super class CTRL_MATRIX3_CLASS_ID) hold a Matrix3.
class Control : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
  // Writes the value at t into *val and narrows valid to where it holds. Transform controllers
  // take a Matrix3*: absolute mode stores their transform, relative mode applies it onto *val
  // (the controller's transform first, then the matrix passed in).
  virtual void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) = 0;
  // Changes the value at t; transform controllers take a SetXFormPacket*. commit is kept for
  // interactive hosts, which may preview a change before committing it.
  virtual void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) = 0;
};

// One key of a position track.
struct PositionKey {
  TimeValue t = 0;
  Point3 p;
  bool operator==(const PositionKey&) const = default;
};

// The default transform controller: a position that is constant or keyed (linear between keys,
// constant before the first and after the last), and a constant rotation and scale. Its
// transform applies the scale, then the rotation, then the position.
class DefaultMatrix3Control : public Control {
 public:
  Class_ID ClassID() override { return Class_ID(0x2005, 0); }
  void GetClassName(MSTR& s) override { s = "Position/Rotation/Scale"; }

  // The position at t.
  Point3 GetPosition(TimeValue t) const;
  // Makes the position constant, dropping any keys.
  void SetPosition(const Point3& p);
  // Sets, or replaces, the position key at t.
  void SetPositionKey(TimeValue t, const Point3& p);
  // The keys in time order; empty when the position is constant.
  const std::vector<PositionKey>& PositionKeys() const { return keys_; }

  // The constant rotation (a matrix without translation) and scale.
  const Matrix3& GetRotation() const { return rotation_; }
  void SetRotation(const Matrix3& r);
  const Point3& GetScale() const { return scale_; }
  void SetScale(const Point3& s);

  // The whole transform at t, and the interval over which it holds.
  Matrix3 GetTM(TimeValue t, Interval* valid = nullptr) const;

  void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
  // A move adds the packet's offset, taken from the axis matrix into the parent space, to the
  // position at t: as a key at t when the position is keyed, else to the constant position.
  // Other packets are ignored.
  void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;
  ReferenceTarget* Clone(RemapDir& remap) override;

 private:
  void Changed();

  Point3 position_;
  std::vector<PositionKey> keys_;
  Matrix3 rotation_;
  Point3 scale_{1.0f, 1.0f, 1.0f};
};

// A new default transform controller at the identity (position at the origin, no rotation, unit
// scale); the reference that takes it owns it.
Control* NewDefaultMatrix3Controller();
