// Modifiers: objects placed above a base object in a node's stack that change its evaluated mesh.
#pragma once
#include "sdk/object.h"

class LocalModData;
class XFormModes;
class ISubObjType;
class SubObjAxisCallback;

// What a modifier knows about the object it is applied to: the transform from the object to the
// modifier's space and the object's bounding box when the modifier was applied (both may be null).
class ModContext {
 public:
  ModContext() = default;
  ModContext(Matrix3* tm_, Box3* box_) : tm(tm_), box(box_) {}
  Matrix3* tm = nullptr;
  Box3* box = nullptr;
  LocalModData* localData = nullptr;
};

// An object-space modifier.
class Modifier : public BaseObject {
 public:
  SClass_ID SuperClassID() override { return OSM_CLASS_ID; }
  // Changes the object in os (a TriObject copy owned by the pipeline) at time t.
  virtual void ModifyObject(TimeValue t, ModContext& mc, ObjectState* os, INode* node) = 0;
  // The interval over which the modifier's effect at t stays the same.
  virtual Interval LocalValidity(TimeValue /*t*/) { return FOREVER; }
  // Channels the modifier reads and writes (TOPO_CHANNEL, GEOM_CHANNEL, ...).
  virtual ChannelMask ChannelsUsed() { return TOPO_CHANNEL | GEOM_CHANNEL; }
  virtual ChannelMask ChannelsChanged() { return GEOM_CHANNEL; }
  // The type of object the modifier works on.
  virtual Class_ID InputType() { return defObjectClassID; }
  virtual BOOL DependOnTopology(ModContext& /*mc*/) { return FALSE; }

  // Gizmo and sub-object editing (sdk/subobj.h). The mod-context forms draw, hit-test and bound
  // the modifier's gizmo for one node; the defaults have no gizmo.
  using BaseObject::GetWorldBoundBox;
  // Draws the gizmo on the viewport's graphics window; returns 0.
  virtual int Display(TimeValue /*t*/, INode* /*node*/, ViewExp* /*vpt*/, int /*flags*/, ModContext* /*mc*/) {
    return 0;
  }
  // Hit-tests the gizmo against the screen region of type/crossing around p (HitRegion) and logs
  // hits on the viewport; returns 1 when something was hit.
  virtual int HitTest(TimeValue /*t*/, INode* /*node*/, int /*type*/, int /*crossing*/, int /*flags*/, IPoint2* /*p*/,
                      ViewExp* /*vpt*/, ModContext* /*mc*/) {
    return 0;
  }
  // The gizmo's bounds in world space.
  virtual void GetWorldBoundBox(TimeValue /*t*/, INode* /*node*/, ViewExp* /*vpt*/, Box3& box, ModContext* /*mc*/) {
    box.Init();
  }
  // Moves the selected sub-object by val, expressed in tmAxis, within the parent space partm.
  virtual void Move(TimeValue /*t*/, Matrix3& /*partm*/, Matrix3& /*tmAxis*/, Point3& /*val*/,
                    BOOL /*localOrigin*/ = FALSE) {}
  // Entering sub-object level `level` (0: the whole modifier): the modifier fills the tools it offers.
  virtual void ActivateSubobjSel(int /*level*/, XFormModes& /*modes*/) {}
  // Reports the centres and matrices of the sub-objects of the current level.
  virtual void GetSubObjectCenters(SubObjAxisCallback* /*cb*/, TimeValue /*t*/, INode* /*node*/, ModContext* /*mc*/) {}
  virtual void GetSubObjectTMs(SubObjAxisCallback* /*cb*/, TimeValue /*t*/, INode* /*node*/, ModContext* /*mc*/) {}
  // The sub-object levels the modifier offers (level i + 1 is type i).
  virtual int NumSubObjTypes() { return 0; }
  virtual ISubObjType* GetSubObjType(int /*i*/) { return nullptr; }
};
