// The lawn: a procedural object that covers a Length x Width rectangle with a grid of grass blades
// (or tufts), shaped by optional height and probability maps and bent by the shared vector field.
#pragma once
#include "res/class_ids.h"
#include "sdk/classdesc.h"
#include "sdk/ioapi.h"
#include "sdk/object.h"
#include "sdk/paramblock.h"
#include "sdk/texmap.h"

// Parameter ids of the lawn's block (code refers to parameters by id, never by internal name).
enum LawnParamId : ParamID {
  lawn_single_mesh = 0,
  lawn_build_type = 1,
  lawn_height_map = 2,
  lawn_height_map_on = 3,
  lawn_vector_field_on = 4,
  lawn_vector_field_file = 5,
  lawn_use_map_size = 6,
  lawn_height_magnitude = 7,
  lawn_z_as_time = 8,
  lawn_prob_map = 9,
  lawn_prob_map_on = 10,
  lawn_length = 11,
  lawn_width = 12,
  lawn_blades_x = 13,
  lawn_blades_y = 14,
  lawn_jitter = 15,
  lawn_jitter_x = 16,
  lawn_jitter_y = 17,
  lawn_angle_var = 18,
  lawn_angle_x = 19,
  lawn_angle_z = 20,
  lawn_blade_length = 21,
  lawn_blade_length_var = 22,
  lawn_blade_max_length = 23,
  lawn_blade_gravity = 24,
  lawn_blade_gravity_var = 25,
  lawn_blade_thin_min = 26,
  lawn_blade_thin_max = 27,
  lawn_b_length = 28,
  lawn_b_width = 29,
  lawn_bundles_x = 30,
  lawn_bundles_y = 31,
  lawn_b_jitter = 32,
  lawn_b_jitter_x = 33,
  lawn_b_jitter_y = 34,
  lawn_bundle_length = 35,
  lawn_bundle_length_var = 36,
  lawn_bundle_max_length = 37,
  lawn_bundle_gravity = 38,
  lawn_bundle_gravity_var = 39,
  lawn_bundle_thin_min = 40,
  lawn_bundle_thin_max = 41,
  lawn_bundle_blades = 42,
  lawn_bundle_blades_var = 43,
};

// The table of the lawn's parameter block for its descriptor: block id 1, 44 parameters, three
// rollouts (dialogs 104, 105, 103); the plug-in's registry builds the ParamBlockDesc2 from it.
ParamBlockSpec LawnBlockSpec(ClassDesc2* owner);
// The lawn's block description, as registered with the lawn's descriptor (null when none is).
ParamBlockDesc2* GetLawnBlockDesc();

// A switch (a BOOL or int parameter) of a lawn's block at time t.
int LawnSwitch(IParamBlock2* pb, ParamID id, TimeValue t);

// The lawn object. References: 0 the parameter block, 1 the height map, 2 the probability map.
class Lawn : public SimpleObject {
 public:
  Lawn();
  ~Lawn() override;

  IParamBlock2* paramBlock = nullptr;
  BOOL meshBuilt = FALSE;  // a full lawn mesh is built; cleared to force the next build
  Texmap* heightMap = nullptr;
  Texmap* probabilityMap = nullptr;
  TimeValue meshTime = 0;  // when the full lawn mesh was built

  // The lawn the panel procedure edits: the one most recently constructed or opened for editing.
  static Lawn* editing;
  // The host interface of the open lawn panel, null while none is open.
  static IObjParam* ip;

  void GetClassName(MSTR& s) override { s = "Lawn"; }
  Class_ID ClassID() override { return kLawnClassID; }
  void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) override;
  void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) override;
  int NumSubs() override { return 3; }
  Animatable* SubAnim(int i) override { return GetReference(i); }
  MSTR SubAnimName(int i) override;
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? paramBlock : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override;
  int NumRefs() override { return 3; }
  RefTargetHandle GetReference(int i) override;
  // Stores a target; assigning or clearing a map switches its enable parameter on or off.
  void SetReference(int i, RefTargetHandle target) override;
  // A change of "buildtype" makes the lawn build again, whatever its panel did.
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle target, PartID& partID,
                             RefMessage message) override;
  // Registers the post-load callback that reloads the shared vector field.
  IOResult Load(ILoad* iload) override;
  ReferenceTarget* Clone(RemapDir& remap) override;
  // Points the one LawnCreateCallBack at this lawn and hands it out.
  CreateMouseCallBack* GetCreateMouseCallBack() override;
  const MCHAR* GetObjectName() override { return "Lawn"; }
  int CanConvertToType(Class_ID obtype) override;
  // t to t + 1 after a full build (so the host asks again at every other time), else forever.
  Interval ObjectValidity(TimeValue t) override;
  void BuildMesh(TimeValue t) override { BuildLawnMesh(t); }

  // The full lawn, cached by time, or the Length x Width placeholder rectangle while the lawn is
  // dragged out or "Single Mesh?" is off.
  void BuildLawnMesh(TimeValue t);
  // The lawn of single blades at t (build type 0).
  Mesh BuildBladeLawn(TimeValue t);
  // The lawn of tufts at t (build type 1).
  Mesh BuildBundleLawn(TimeValue t);
};

// Reloads the shared vector field from the lawn's "vectormap name" once a scene has been read
// (when "VectormapEnabled" is on), then deletes itself.
class LawnPostLoad : public PostLoadCallback {
 public:
  explicit LawnPostLoad(Lawn* l) : lawn(l) {}
  void proc(ILoad* iload) override;
  int Priority() override { return 5; }
  Lawn* lawn;
};
