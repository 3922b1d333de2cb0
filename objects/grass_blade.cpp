#include "objects/grass_blade.h"

#include <cmath>

#include "blade/blade_mesh.h"
#include "objects/grass_create.h"
#include "res/plugin_resources.h"
#include "res/resource_ids.h"

IObjParam* GrassBlade::ip = nullptr;

GrassBlade::GrassBlade() {
  if (ClassDesc2* desc = FindClassDesc(kGrassBladeClassID)) desc->MakeAutoParamBlocks(this);
}

GrassBlade::~GrassBlade() = default;

void GrassBlade::GetClassName(MSTR& s) { s = GetResourceString(IDS_GRASS_BLADE); }

CreateMouseCallBack* GrassBlade::GetCreateMouseCallBack() {
  GrassBladeCreateCallBack& cb = TheGrassBladeCreateCallBack();
  cb.SetObj(this);
  return &cb;
}

const MCHAR* GrassBlade::GetObjectName() { return GetResourceString(IDS_GRASS_BLADE); }

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
