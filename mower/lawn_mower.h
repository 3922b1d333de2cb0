// LawnMower: the object-space modifier that cuts the grass inside (or outside) a movable
// rectangle or circle, with its parameter block, panel, gizmo and "Lawn Mower Center" sub-object.
#pragma once
#include "res/class_ids.h"
#include "sdk/classdesc.h"
#include "sdk/control.h"
#include "sdk/core.h"
#include "sdk/gfx.h"
#include "sdk/modifier.h"
#include "sdk/paramblock.h"
#include "sdk/parammap.h"
#include "sdk/subobj.h"

// Parameter ids of the mower's block.
enum MowerParamId {
  mower_shape = 0,    // 0 rectangular, 1 circular
  mower_width = 1,    // rectangle extent along local X
  mower_height = 2,   // rectangle extent along local Y
  mower_radius = 3,   // circle radius
  mower_length = 4,   // cut length as a blade coordinate, 0 to 1
  mower_combine = 5,  // "Combine over time"
  mower_invert = 6,   // "Inverse selection"
};

// The table of the mower's parameter block (block id 0, "Lawnmower Parameters", reference 0,
// automatic panel from dialog 107) for its descriptor; the plug-in's registry builds the
// ParamBlockDesc2 from it.
ParamBlockSpec LawnMowerBlockSpec(ClassDesc2* owner);

// The modifier.
class LawnMower : public Modifier {
 public:
  IParamBlock2* paramBlock = nullptr;  // reference 0, sub-animatable 0
  Control* gizmoControl = nullptr;     // reference 1, sub-animatable 1: the gizmo's transform
  Box3* contextBox = nullptr;          // the mod context box last seen; bounds gizmo moves

  LawnMower();
  ~LawnMower() override;

  void GetClassName(MSTR& s) override { s = "LawnMower"; }
  SClass_ID SuperClassID() override { return OSM_CLASS_ID; }
  Class_ID ClassID() override { return kLawnMowerClassID; }
  void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) override;
  void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) override;

  int NumSubs() override { return 2; }
  Animatable* SubAnim(int i) override;
  MSTR SubAnimName(int i) override;
  BOOL AssignController(Animatable* control, int subNum) override;
  int SubNumToRefNum(int subNum) override { return subNum == 1 ? 1 : -1; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? paramBlock : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override;

  int NumRefs() override { return 2; }
  RefTargetHandle GetReference(int i) override;
  void SetReference(int i, RefTargetHandle target) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle target, PartID& partID,
                             RefMessage message) override;

  int HitTest(TimeValue t, INode* node, int type, int crossing, int flags, IPoint2* p, ViewExp* vpt,
              ModContext* mc) override;
  int Display(TimeValue t, INode* node, ViewExp* vpt, int flags, ModContext* mc) override;
  void GetWorldBoundBox(TimeValue t, INode* node, ViewExp* vpt, Box3& box, ModContext* mc) override;
  using Modifier::GetWorldBoundBox;
  void Move(TimeValue t, Matrix3& partm, Matrix3& tmAxis, Point3& val, BOOL localOrigin = FALSE) override;
  void ActivateSubobjSel(int level, XFormModes& modes) override;
  void GetSubObjectCenters(SubObjAxisCallback* cb, TimeValue t, INode* node, ModContext* mc) override;
  void GetSubObjectTMs(SubObjAxisCallback* cb, TimeValue t, INode* node, ModContext* mc) override;
  int NumSubObjTypes() override { return 1; }
  ISubObjType* GetSubObjType(int i) override;

  // Empty: the host re-evaluates the mower at every time.
  Interval LocalValidity(TimeValue t) override;
  ChannelMask ChannelsUsed() override { return TOPO_CHANNEL | GEOM_CHANNEL; }
  ChannelMask ChannelsChanged() override { return ALL_CHANNELS; }
  // Cuts the blades of the triangle mesh in os at t, once or for every whole frame up to t.
  void ModifyObject(TimeValue t, ModContext& mc, ObjectState* os, INode* node) override;
  BOOL DependOnTopology(ModContext& /*mc*/) override { return FALSE; }
  Class_ID InputType() override { return defObjectClassID; }

  // The gizmo's transform at t: the controller's value, out of the mod context's space (when mc
  // has a transform) and into world space (when a node is given).
  Matrix3 CompGizmoMatrix(TimeValue t, INode* node, ModContext* mc);
  // Feeds the gizmo's outline (sizes at the host's current time) to lp.
  void DrawGizmo(PolyLineProc& lp);

 private:
  void RememberContextBox(ModContext* mc);
  Box3 contextBoxCopy_;  // what contextBox points at: a copy, so it never outlives its node
};

// The panel's user procedure: keeps the size spinners matching the shape.
class LawnMowerDlgProc : public ParamMap2UserDlgProc {
 public:
  INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void DeleteThis() override {}
};
