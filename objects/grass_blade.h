// GrassBlade: one grass blade whose mesh is the blade generator's output for nine animatable
// parameters, created in a viewport by a press-and-drag that sets its size.
#pragma once
#include "objects/grass_object.h"

inline constexpr Class_ID GRASS_BLADE_CLASS_ID{0x25ff6c8e, 0x4dfb339a};

// Parameter ids of the blade's block (block id 0).
enum GrassBladeParam : ParamID {
  blade_size = 0,
  blade_stiffness = 1,
  blade_gravity = 2,
  blade_weldings = 3,
  blade_weld_factor = 4,
  blade_thinning = 5,
  blade_rotation_x = 6,
  blade_rotation_z = 7,
  blade_max_length = 8,
};

class GrassBlade : public GrassObject {
 public:
  // The host interface of the open panel, null while no blade panel is open.
  static IObjParam* ip;

  // Builds the block with its defaults through the descriptor.
  GrassBlade();
  ~GrassBlade() override;

  void GetClassName(MSTR& s) override;
  Class_ID ClassID() override { return GRASS_BLADE_CLASS_ID; }
  ReferenceTarget* Clone(RemapDir& remap) override { return CloneAs<GrassBlade>(remap); }
  CreateMouseCallBack* GetCreateMouseCallBack() override;
  const MCHAR* GetObjectName() override;
  // The mesh of BuildBladeMesh for the parameter values at t; the validity is left alone.
  void BuildMesh(TimeValue t) override;

 protected:
  ClassDesc2* Descriptor() override;
  IObjParam*& PanelInterface() override { return ip; }
};
