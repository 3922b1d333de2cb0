#include "lawn/lawn_scatter.h"

#include <cmath>
#include <functional>

#include "lawn/lawn.h"
#include "lawn/lawn_maps.h"
#include "lawn/vector_field.h"
#include "res/class_ids.h"
#include "sdk/core.h"
#include "sdk/crt.h"

namespace {
constexpr float kPi = 3.1415927f;

// One rand() scaled to [0, 1]: the quotient is taken in double and stored as a float.
float UnitRandom() { return static_cast<float>(crt::rand() / 32767.0); }

constexpr auto Flag = LawnSwitch;

// What both scatters share: the grid over the rectangle, the maps, the group and its nodes.
class Scatter {
 public:
  Scatter(IParamBlock2* pb, const Point3& first, const Point3& second, const MCHAR* name, TimeValue t, ParamID countX,
          ParamID countY, Texmap* heightTexture, Texmap* probabilityTexture)
      : first_(first), ip_(GetCOREInterface()), group_(name ? name : "") {
    ip_->MakeNameUnique(group_);
    // The maps' switches are read at time 0 by every caller; the magnitude follows t.
    if (Flag(pb, lawn_height_map_on, 0) && heightTexture) {
      height_ = AcquireMapBitmap(heightTexture, t);
      magnitude_ = pb->GetFloat(lawn_height_magnitude, t);
    }
    if (Flag(pb, lawn_prob_map_on, 0) && probabilityTexture) probability_ = AcquireMapBitmap(probabilityTexture, t);
    nx = pb->GetFloat(countX, t);
    ny = pb->GetFloat(countY, t);
    if (height_.bitmap && Flag(pb, lawn_use_map_size, 0)) {
      nx = static_cast<float>(height_.width);
      ny = static_cast<float>(height_.height);
    }
    stepX = (second.x - first.x) / nx;
    stepY = (second.y - first.y) / ny;
  }

  // Walks the grid, columns outer; `place` draws an element's values and returns its position.
  template <class Place>
  void Walk(Place&& place) {
    const int cx = nx >= 1.0f ? static_cast<int>(nx) : 0, cy = ny >= 1.0f ? static_cast<int>(ny) : 0;
    for (int ix = 0; ix < cx; ++ix)
      for (int iy = 0; iy < cy; ++iy)
        place(ix, iy,
              Point3(first_.x + static_cast<float>(ix) * stepX, first_.y + static_cast<float>(iy) * stepY, 0.0f));
  }

  const Bitmap* Height() const { return height_.bitmap; }
  float Magnitude() const { return magnitude_; }
  bool Keep(int ix, int iy) const { return KeepByProbability(probability_.bitmap, ix, iy, nx, ny); }

  // A node for a new object of `cls` whose parameters `set` gives at time 0, named group + suffix.
  void Make(Class_ID cls, const char* suffix, const std::function<void(IParamBlock2*)>& set, const Matrix3& tm) {
    auto* obj = dynamic_cast<Object*>(ip_->CreateInstance(GEOMOBJECT_CLASS_ID, cls));
    if (!obj) return;  // the class is not registered: nothing to place
    if (IParamBlock2* block = obj->GetParamBlock(0)) set(block);
    INode* node = ip_->CreateObjectNode(obj);
    MSTR nodeName(group_.str() + suffix);
    ip_->MakeNameUnique(nodeName);
    node->SetName(nodeName);
    node->SetNodeTM(0, tm);
    nodes_.Append(1, &node);
  }

  INode* Group() { return ip_->GroupNodes(&nodes_, &group_, FALSE); }

  float nx = 0.0f, ny = 0.0f, stepX = 0.0f, stepY = 0.0f;

 private:
  Point3 first_;
  IObjParam* ip_;
  MSTR group_;
  MapBitmap height_, probability_;
  float magnitude_ = 1.0f;
  INodeTab nodes_;
};
}  // namespace

INode* ScatterBlades(IParamBlock2* pb, const Point3& firstCorner, const Point3& secondCorner, const MCHAR* name,
                     TimeValue t, Texmap* heightTexture, Texmap* probabilityTexture) {
  if (!pb) return nullptr;
  Scatter s(pb, firstCorner, secondCorner, name, t, lawn_blades_x, lawn_blades_y, heightTexture, probabilityTexture);
  const bool jitter = Flag(pb, lawn_jitter, t) != 0, angles = Flag(pb, lawn_angle_var, t) != 0;
  const float jitterX = jitter ? pb->GetFloat(lawn_jitter_x, t) : 0.0f,
              jitterY = jitter ? pb->GetFloat(lawn_jitter_y, t) : 0.0f;
  const float angleX = angles ? pb->GetFloat(lawn_angle_x, t) : 0.0f,
              angleZ = angles ? pb->GetFloat(lawn_angle_z, t) : 0.0f;
  const float L = pb->GetFloat(lawn_blade_length, t), Lv = pb->GetFloat(lawn_blade_length_var, t);
  const float maxLength = Flag(pb, lawn_blade_max_length, t) ? 0.0f : L;
  const float G = pb->GetFloat(lawn_blade_gravity, t), Gv = pb->GetFloat(lawn_blade_gravity_var, t);
  const float Tmin = pb->GetFloat(lawn_blade_thin_min, t), Tmax = pb->GetFloat(lawn_blade_thin_max, t);
  // The field bends the blades (through their node transforms) when switched on and holding data.
  const bool zAsTime = Flag(pb, lawn_z_as_time, t) != 0;
  const GPUVectorField2D* field =
      Flag(pb, lawn_vector_field_on, t) == 1 && TheVectorField && TheVectorField->HasData() ? TheVectorField : nullptr;
  const std::uint32_t slice = field ? field->SliceForTime(t, zAsTime) : 0;
  const int frame = field ? field->FrameForTime(t) : 0;
  const float spanX = std::fabs(s.stepX) * jitterX, spanY = std::fabs(s.stepY) * jitterY;

  s.Walk([&](int ix, int iy, Point3 position) {
    // Seven draws in this order, then the keep draw: kept or not, every blade takes eight.
    position.x += static_cast<float>(spanX * (UnitRandom() - 0.5));
    position.y += static_cast<float>(spanY * (UnitRandom() - 0.5));
    float rotationX = UnitRandom() * angleX * kPi / 180.0f;
    float rotationZ = UnitRandom() * angleZ * kPi / 180.0f;
    const auto length = static_cast<float>(L * (1 + (UnitRandom() - 0.5) * Lv));
    auto gravity = static_cast<float>(G * (1 + (UnitRandom() - 0.5) * Gv));
    if (gravity < 0.0f) gravity = 0.0f;
    const float thinning = Tmin + UnitRandom() * (Tmax - Tmin);
    if (field) rotationX = rotationZ = 0.0f;
    position.z = firstCorner.z;
    if (s.Height()) {
      position.z = MapHeight(s.Height(), ix, iy, s.nx, s.ny, s.Magnitude());
      rotationX += MapSlopeTilt(s.Height(), ix, iy, s.nx, s.ny);
    }
    if (!s.Keep(ix, iy)) return;
    Matrix3 tm;
    if (field) {
      std::uint32_t ci = 0, cj = 0;
      field->CellForBlade(ix, iy, s.nx, s.ny, &ci, &cj);
      tm = BendMatrix(field->SampleCell(ci, cj, slice, frame));
    }
    tm.SetTrans(position);
    s.Make(
        kGrassBladeClassID, "_Blade",
        [&](IParamBlock2* b) {
          b->SetValue(blade_size, 0, length);
          b->SetValue(blade_stiffness, 0, 0.0f);
          b->SetValue(blade_gravity, 0, gravity);
          b->SetValue(blade_weldings, 0, 2.0f);
          b->SetValue(blade_weld_factor, 0, 0.05f);
          b->SetValue(blade_thinning, 0, thinning);
          b->SetValue(blade_rotation_x, 0, rotationX);
          b->SetValue(blade_rotation_z, 0, rotationZ);
          b->SetValue(blade_max_length, 0, maxLength);
        },
        tm);
  });
  return s.Group();
}

INode* ScatterBundles(IParamBlock2* pb, const Point3& firstCorner, const Point3& secondCorner, const MCHAR* name,
                      TimeValue t, Texmap* heightTexture, Texmap* probabilityTexture) {
  if (!pb) return nullptr;
  Scatter s(pb, firstCorner, secondCorner, name, t, lawn_bundles_x, lawn_bundles_y, heightTexture, probabilityTexture);
  const bool jitter = Flag(pb, lawn_b_jitter, t) != 0;
  const float jitterX = jitter ? pb->GetFloat(lawn_b_jitter_x, t) : 0.0f,
              jitterY = jitter ? pb->GetFloat(lawn_b_jitter_y, t) : 0.0f;
  const float L = pb->GetFloat(lawn_bundle_length, t), Lv = pb->GetFloat(lawn_bundle_length_var, t);
  const float maxHeight = Flag(pb, lawn_bundle_max_length, t) ? 0.0f : L;
  const float G = pb->GetFloat(lawn_bundle_gravity, t), Gv = pb->GetFloat(lawn_bundle_gravity_var, t);
  const float Tmin = pb->GetFloat(lawn_bundle_thin_min, t), Tmax = pb->GetFloat(lawn_bundle_thin_max, t);
  const float B = pb->GetFloat(lawn_bundle_blades, t), Bv = pb->GetFloat(lawn_bundle_blades_var, t);
  const float spanX = std::fabs(s.stepX) * jitterX, spanY = std::fabs(s.stepY) * jitterY;

  s.Walk([&](int ix, int iy, Point3 position) {
    // Three draws, then the keep draw; a kept tuft's own constructor draws its 200 values after.
    position.x += static_cast<float>(spanX * (UnitRandom() - 0.5));
    position.y += static_cast<float>(spanY * (UnitRandom() - 0.5));
    float blades = std::trunc(B - UnitRandom() * Bv * B);
    if (blades == 0.0f) blades = 1.0f;
    if (s.Height()) position.z = MapHeight(s.Height(), ix, iy, s.nx, s.ny, s.Magnitude());
    if (!s.Keep(ix, iy)) return;
    Matrix3 tm;
    tm.SetTrans(position);
    s.Make(
        kGrassBundleClassID, "_Bundle",
        [&](IParamBlock2* b) {
          b->SetValue(bundle_size, 0, L);
          b->SetValue(bundle_variation, 0, Lv);
          b->SetValue(bundle_blades, 0, blades);
          b->SetValue(bundle_stiffness_min, 0, 0.0f);
          b->SetValue(bundle_stiffness_max, 0, 0.0f);
          b->SetValue(bundle_gravity_min, 0, G);
          b->SetValue(bundle_gravity_max, 0, G * (1 + Gv));
          b->SetValue(bundle_weldings_min, 0, 2.0f);
          b->SetValue(bundle_weldings_max, 0, 2.0f);
          b->SetValue(bundle_weld_factor_min, 0, 0.05f);
          b->SetValue(bundle_weld_factor_max, 0, 0.1f);
          b->SetValue(bundle_thinness_min, 0, Tmin);
          b->SetValue(bundle_thinness_max, 0, Tmax);
          b->SetValue(bundle_rotation_min, 0, 0.0f);
          b->SetValue(bundle_rotation_max, 0, 6.2831855f);
          b->SetValue(bundle_max_height_on, 0, maxHeight == L ? TRUE : FALSE);
          b->SetValue(bundle_max_height, 0, maxHeight);
        },
        tm);
  });
  return s.Group();
}
