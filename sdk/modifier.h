// Modifiers: objects placed above a base object in a node's stack that change its evaluated mesh.
#pragma once
#include "sdk/object.h"

class LocalModData;

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
};
