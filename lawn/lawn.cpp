#include "lawn/lawn.h"

#include <new>
#include <utility>

#include "lawn/blade_lawn.h"
#include "lawn/bundle_lawn.h"
#include "lawn/lawn_create.h"
#include "lawn/lawn_maps.h"
#include "lawn/vector_field.h"
#include "res/class_descs.h"

namespace {
// The lawn's class descriptor, as registered (null when none is).
ClassDesc2* LawnDesc() { return FindClassDesc(kLawnClassID); }
}  // namespace

Lawn* Lawn::editing = nullptr;
IObjParam* Lawn::ip = nullptr;

Lawn::Lawn() {
  pblock2 = nullptr;
  if (ClassDesc2* desc = LawnDesc()) desc->MakeAutoParamBlocks(this);
  if (paramBlock) {
    paramBlock->SetValue(lawn_height_map_on, 0, FALSE);
    paramBlock->SetValue(lawn_prob_map_on, 0, FALSE);
  }
  editing = this;
  meshTime = 0;
}

Lawn::~Lawn() {
  if (editing == this) editing = nullptr;
  if (TheLawnCreateCallBack().lawn == this) TheLawnCreateCallBack().lawn = nullptr;
}

void Lawn::BeginEditParams(IObjParam* iface, ULONG flags, Animatable* prev) {
  editing = this;
  ip = iface;
  SimpleObject::BeginEditParams(iface, flags, prev);
  if (ClassDesc2* desc = LawnDesc()) desc->BeginEditParams(iface, this, flags, prev);
}

void Lawn::EndEditParams(IObjParam* iface, ULONG flags, Animatable* next) {
  SimpleObject::EndEditParams(iface, flags, next);
  if (ClassDesc2* desc = LawnDesc()) desc->EndEditParams(iface, this, flags, next);
  ip = nullptr;
}

CreateMouseCallBack* Lawn::GetCreateMouseCallBack() {
  LawnCreateCallBack& cb = TheLawnCreateCallBack();
  cb.lawn = this;
  return &cb;
}

MSTR Lawn::SubAnimName(int i) {
  switch (i) {
    case 0: return "Parameters";
    case 1: return "Heightmap";
    case 2: return "Probabilitymap";
    default: return "";
  }
}

IParamBlock2* Lawn::GetParamBlockByID(BlockID id) {
  return paramBlock && paramBlock->ID() == id ? paramBlock : nullptr;
}

RefTargetHandle Lawn::GetReference(int i) {
  switch (i) {
    case 0: return paramBlock;
    case 1: return heightMap;
    case 2: return probabilityMap;
    default: return nullptr;
  }
}

void Lawn::SetReference(int i, RefTargetHandle target) {
  switch (i) {
    case 0:
      paramBlock = static_cast<IParamBlock2*>(target);
      pblock2 = paramBlock;
      break;
    case 1:
      heightMap = static_cast<Texmap*>(target);
      if (paramBlock) paramBlock->SetValue(lawn_height_map_on, 0, target ? TRUE : FALSE);
      break;
    case 2:
      probabilityMap = static_cast<Texmap*>(target);
      if (paramBlock) paramBlock->SetValue(lawn_prob_map_on, 0, target ? TRUE : FALSE);
      break;
    default: break;
  }
}

IOResult Lawn::Load(ILoad* iload) {
  if (auto* cb = new (std::nothrow) LawnPostLoad(this)) iload->RegisterPostLoadCallback(cb, 5.0f);
  return IO_OK;
}

ReferenceTarget* Lawn::Clone(RemapDir& remap) {
  auto* copy = new (std::nothrow) Lawn();
  if (!copy) return nullptr;
  for (int k = 0; k < 3; ++k) copy->ReplaceReference(k, remap.CloneRef(GetReference(k)));
  copy->ivalid = NEVER;
  BaseClone(this, copy, remap);
  return copy;
}

int Lawn::CanConvertToType(Class_ID obtype) {
  if (obtype == defObjectClassID || obtype == triObjectClassID || obtype == kLawnClassID) return TRUE;
  return SimpleObject::CanConvertToType(obtype);
}

Interval Lawn::ObjectValidity(TimeValue t) {
  if (!meshBuilt) return FOREVER;
  return Interval(t, t == TIME_PosInfinity ? t : t + 1);
}

RefResult Lawn::NotifyRefChanged(const Interval& changeInt, RefTargetHandle target, PartID& partID,
                                 RefMessage message) {
  // Blades and tufts are different lawns: the mesh built for one build type must not stand in
  // for the other until some unrelated change clears the built flag.
  if (message == REFMSG_CHANGE && target == paramBlock && paramBlock->LastNotifyParamID() == lawn_build_type)
    meshBuilt = FALSE;
  return SimpleObject::NotifyRefChanged(changeInt, target, partID, message);
}

void Lawn::BuildLawnMesh(TimeValue t) {
  if (!paramBlock) return;  // only when the block could not be allocated
  Interval iv = FOREVER;
  int singleMesh = TRUE;
  paramBlock->GetValue(lawn_single_mesh, 0, singleMesh, iv);
  if (singleMesh && suspendSnap != 1) {
    if (meshBuilt && meshTime == t) return;
    meshBuilt = TRUE;
    ivalid = NEVER;  // the host asks at every evaluation; meshTime decides
    int buildType = 0;
    paramBlock->GetValue(lawn_build_type, t, buildType, iv);
    // The old mesh goes first: the host keeps its memory and the new build reuses it, instead of
    // two lawns being held at once and the new one faulting in fresh pages.
    mesh.FreeAll();
    mesh = buildType == 0 ? BuildBladeLawn(t) : BuildBundleLawn(t);  // moved in, not copied
    mesh.InvalidateGeomCache();
    mesh.buildNormals();
    mesh.buildRenderNormals();
    meshTime = t;
    return;
  }
  // The placeholder rectangle, from the blade rollout's size whatever the build type. The full
  // lawn is no longer held, so switching "Single Mesh?" back on builds it again instead of
  // keeping the rectangle.
  meshBuilt = FALSE;
  mesh.setNumVerts(4);
  mesh.setNumFaces(2);
  const float hl = paramBlock->GetFloat(lawn_length, t) * 0.5f;
  const float hw = paramBlock->GetFloat(lawn_width, t) * 0.5f;
  if (mesh.getNumVerts() == 4 && mesh.getNumFaces() == 2) {
    mesh.verts = {Point3(hl, hw, 0.0f), Point3(-hl, hw, 0.0f), Point3(-hl, -hw, 0.0f), Point3(hl, -hw, 0.0f)};
    mesh.faces[0].setVerts(0, 1, 2);
    mesh.faces[1].setVerts(2, 3, 0);
  }
  mesh.InvalidateGeomCache();
  mesh.buildNormals();
  mesh.buildRenderNormals();
}

int LawnSwitch(IParamBlock2* pb, ParamID id, TimeValue t) {
  Interval iv = FOREVER;
  int v = 0;
  pb->GetValue(id, t, v, iv);
  return v;
}

namespace {
constexpr auto Flag = LawnSwitch;

// The bitmaps one build samples; they belong to the build.
struct BuildMaps {
  MapBitmap height, probability;
};

// What both builders read the same way: the vector field (applied only when switched on, exactly
// 1, and holding data), the height map (which may replace the grid counts) and the probability map.
void ReadMapsAndField(Lawn& lawn, TimeValue t, LawnGridSettings& s, BuildMaps& maps) {
  IParamBlock2* pb = lawn.paramBlock;
  Texmap* heightMap = lawn.heightMap;
  Texmap* probabilityMap = lawn.probabilityMap;
  const bool zAsTime = Flag(pb, lawn_z_as_time, t) != 0;
  if (Flag(pb, lawn_vector_field_on, 0) == 1 && TheVectorField && TheVectorField->HasData()) {
    s.field = TheVectorField;
    s.frame = TheVectorField->FrameForTime(t);
    s.slice = TheVectorField->SliceForTime(t, zAsTime);
  }
  if (Flag(pb, lawn_height_map_on, 0) && heightMap) {
    maps.height = AcquireMapBitmap(heightMap, t);
    s.heightMap = maps.height.bitmap;
    s.magnitude = pb->GetFloat(lawn_height_magnitude, t);
    if (maps.height.bitmap && Flag(pb, lawn_use_map_size, 0)) {
      s.nx = static_cast<float>(maps.height.width);
      s.ny = static_cast<float>(maps.height.height);
    }
  }
  if (Flag(pb, lawn_prob_map_on, 0) && probabilityMap) {
    maps.probability = AcquireMapBitmap(probabilityMap, t);
    s.probabilityMap = maps.probability.bitmap;
  }
}
}  // namespace

Mesh Lawn::BuildBladeLawn(TimeValue t) {
  IParamBlock2* pb = paramBlock;
  BladeLawnSettings s;
  s.nx = pb->GetFloat(lawn_blades_x, 0);
  s.ny = pb->GetFloat(lawn_blades_y, 0);
  const bool jitter = Flag(pb, lawn_jitter, 0) != 0;
  s.jitterX = jitter ? pb->GetFloat(lawn_jitter_x, 0) : 0.0f;
  s.jitterY = jitter ? pb->GetFloat(lawn_jitter_y, 0) : 0.0f;
  const bool angles = Flag(pb, lawn_angle_var, 0) != 0;
  s.angleX = angles ? pb->GetFloat(lawn_angle_x, 0) : 0.0f;
  s.angleZ = angles ? pb->GetFloat(lawn_angle_z, 0) : 0.0f;
  s.bladeLength = pb->GetFloat(lawn_blade_length, 0);
  s.lengthVar = pb->GetFloat(lawn_blade_length_var, 0);
  s.maxLength = Flag(pb, lawn_blade_max_length, 0) ? 0.0f : s.bladeLength;
  s.gravity = pb->GetFloat(lawn_blade_gravity, 0);
  s.gravityVar = pb->GetFloat(lawn_blade_gravity_var, 0);
  s.thinMin = pb->GetFloat(lawn_blade_thin_min, 0);
  s.thinMax = pb->GetFloat(lawn_blade_thin_max, 0);
  s.length = pb->GetFloat(lawn_length, t);
  s.width = pb->GetFloat(lawn_width, t);
  BuildMaps maps;
  ReadMapsAndField(*this, t, s, maps);
  return BuildBladeLawnMesh(s);
}

Mesh Lawn::BuildBundleLawn(TimeValue t) {
  IParamBlock2* pb = paramBlock;
  BundleLawnSettings s;
  s.nx = pb->GetFloat(lawn_bundles_x, 0);
  s.ny = pb->GetFloat(lawn_bundles_y, 0);
  const bool jitter = Flag(pb, lawn_b_jitter, 0) != 0;
  s.jitterX = jitter ? pb->GetFloat(lawn_b_jitter_x, 0) : 0.0f;
  s.jitterY = jitter ? pb->GetFloat(lawn_b_jitter_y, 0) : 0.0f;
  s.bundleLength = pb->GetFloat(lawn_bundle_length, 0);
  s.lengthVar = pb->GetFloat(lawn_bundle_length_var, 0);
  s.maxLength = Flag(pb, lawn_bundle_max_length, 0) ? 0.0f : s.bundleLength;
  s.gravity = pb->GetFloat(lawn_bundle_gravity, 0);
  s.gravityVar = pb->GetFloat(lawn_bundle_gravity_var, 0);
  // The thinness pair is read, as the panel shows it, but no tuft uses it (every blade has 1.25).
  pb->GetFloat(lawn_bundle_thin_min, 0);
  pb->GetFloat(lawn_bundle_thin_max, 0);
  s.blades = pb->GetFloat(lawn_bundle_blades, 0);
  s.bladesVar = pb->GetFloat(lawn_bundle_blades_var, 0);
  s.length = pb->GetFloat(lawn_b_length, t);
  s.width = pb->GetFloat(lawn_b_width, t);
  BuildMaps maps;
  ReadMapsAndField(*this, t, s, maps);
  return BuildBundleLawnMesh(s);
}

void LawnPostLoad::proc(ILoad*) {
  IParamBlock2* pb = lawn ? lawn->GetParamBlock(0) : nullptr;
  if (pb) {
    Interval iv = FOREVER;
    const char* path = nullptr;
    int on = FALSE;
    pb->GetValue(lawn_vector_field_file, 0, path, iv);
    pb->GetValue(lawn_vector_field_on, 0, on, iv);
    if (on && path && *path) {
      if (GPUVectorField2D* field = GetOrCreateVectorField()) field->Load(path);
    }
  }
  delete this;
}
