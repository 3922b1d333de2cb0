// GrassBlade: one grass blade whose mesh is the blade generator's output for nine animatable
// parameters, created in a viewport by a press-and-drag that sets its size.
#pragma once
#include "objects/grass_object.h"
#include "res/class_ids.h"

// The table of the blade's parameter block (block id 0, parameters GrassBladeParam) for its
// descriptor; the plug-in's registry builds the ParamBlockDesc2 from it.
ParamBlockSpec GrassBladeBlockSpec(ClassDesc2* owner);

class GrassBlade : public GrassObject {
 public:
  // The host interface of the open panel, null while no blade panel is open.
  static IObjParam* ip;

  // Builds the block with its defaults through the descriptor.
  GrassBlade();
  ~GrassBlade() override;

  void GetClassName(MSTR& s) override;
  Class_ID ClassID() override { return kGrassBladeClassID; }
  ReferenceTarget* Clone(RemapDir& remap) override { return CloneAs<GrassBlade>(remap); }
  CreateMouseCallBack* GetCreateMouseCallBack() override;
  const MCHAR* GetObjectName() override;
  // The mesh of BuildBladeMesh for the parameter values at t; the validity is left alone.
  void BuildMesh(TimeValue t) override;

 protected:
  IObjParam*& PanelInterface() override { return ip; }
};
