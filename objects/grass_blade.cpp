#include "objects/grass_blade.h"

#include <cmath>

#include "blade/blade_mesh.h"
#include "objects/grass_blade_create.h"
#include "plugin/plugin.h"
#include "plugin/resource_ids.h"

IObjParam* GrassBlade::ip = nullptr;

GrassBlade::GrassBlade() { GetGrassBladeDesc()->MakeAutoParamBlocks(this); }

GrassBlade::~GrassBlade() = default;

void GrassBlade::GetClassName(MSTR& s) { s = GetResourceString(IDS_GRASS_BLADE); }

void GrassBlade::BeginEditParams(IObjParam* iface, ULONG flags, Animatable* prev) {
  ip = iface;
  SimpleObject::BeginEditParams(iface, flags, prev);
  GetGrassBladeDesc()->BeginEditParams(iface, this, flags, prev);
}

void GrassBlade::EndEditParams(IObjParam* iface, ULONG flags, Animatable* next) {
  SimpleObject::EndEditParams(iface, flags, next);
  GetGrassBladeDesc()->EndEditParams(iface, this, flags, next);
  ip = nullptr;
}

IParamBlock2* GrassBlade::GetParamBlockByID(BlockID id) {
  return pblock && pblock->ID() == id ? pblock : nullptr;
}

RefTargetHandle GrassBlade::GetReference(int i) { return i == 0 ? pblock : nullptr; }

void GrassBlade::SetReference(int i, RefTargetHandle target) {
  if (i != 0) return;
  pblock = dynamic_cast<IParamBlock2*>(target);
  pblock2 = pblock;
}

ReferenceTarget* GrassBlade::Clone(RemapDir& remap) {
  // No exception may leave the plug-in: a blade that cannot be made clones to null.
  GrassBlade* copy = nullptr;
  try {
    copy = new GrassBlade();
  } catch (...) {
    return nullptr;
  }
  copy->ReplaceReference(0, remap.CloneRef(pblock));
  copy->ivalid.SetEmpty();
  BaseClone(this, copy, remap);
  return copy;
}

CreateMouseCallBack* GrassBlade::GetCreateMouseCallBack() {
  GrassBladeCreateCallBack& cb = TheGrassBladeCreateCallBack();
  cb.SetObj(this);
  return &cb;
}

const MCHAR* GrassBlade::GetObjectName() { return GetResourceString(IDS_GRASS_BLADE); }

int GrassBlade::CanConvertToType(Class_ID obtype) {
  if (obtype == defObjectClassID || obtype == triObjectClassID) return TRUE;
  return SimpleObject::CanConvertToType(obtype);
}

void GrassBlade::BuildMesh(TimeValue t) {
  if (!pblock) return;
  BladeParams p{};
  p.size = pblock->GetFloat(blade_size, t);
  p.stiffness = pblock->GetFloat(blade_stiffness, t);
  p.gravity = pblock->GetFloat(blade_gravity, t);
  p.weldings = static_cast<int>(std::trunc(pblock->GetFloat(blade_weldings, t)));
  p.weldFactor = pblock->GetFloat(blade_weld_factor, t);
  p.thinning = pblock->GetFloat(blade_thinning, t);
  p.rotationZ = pblock->GetFloat(blade_rotation_z, t);
  p.rotationX = pblock->GetFloat(blade_rotation_x, t);
  p.maxLength = pblock->GetFloat(blade_max_length, t);
  mesh = BuildBladeMesh(p);
}
