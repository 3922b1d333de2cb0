// GrassBlade: one grass blade whose mesh is the blade generator's output for nine animatable
// parameters, created in a viewport by a press-and-drag that sets its size.
#pragma once
#include "sdk/object.h"
#include "sdk/paramblock.h"

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

class GrassBlade : public SimpleObject {
 public:
  // The parameter block: reference 0 and sub-animatable 0 (also in SimpleObject::pblock2).
  IParamBlock2* pblock = nullptr;

  // The host interface of the open panel, null while no blade panel is open.
  static IObjParam* ip;

  // Builds the block with its defaults through the descriptor.
  GrassBlade();
  ~GrassBlade() override;

  void GetClassName(MSTR& s) override;
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  Class_ID ClassID() override { return GRASS_BLADE_CLASS_ID; }
  void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) override;
  void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) override;

  int NumSubs() override { return 1; }
  Animatable* SubAnim(int i) override { return i == 0 ? pblock : nullptr; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override;
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override;
  void SetReference(int i, RefTargetHandle target) override;
  IOResult Save(ISave* /*isave*/) override { return IO_OK; }
  IOResult Load(ILoad* /*iload*/) override { return IO_OK; }
  ReferenceTarget* Clone(RemapDir& remap) override;

  CreateMouseCallBack* GetCreateMouseCallBack() override;
  const MCHAR* GetObjectName() override;
  void InitNodeName(MSTR& name) override { name = GetObjectName(); }
  ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
  int CanConvertToType(Class_ID obtype) override;
  // The blade does not declare itself time-dependent, even when its parameters are animated.
  Interval ObjectValidity(TimeValue /*t*/) override { return FOREVER; }
  // The mesh of BuildBladeMesh for the parameter values at t; the validity is left alone.
  void BuildMesh(TimeValue t) override;
};
