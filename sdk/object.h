// Objects: the base classes of everything that sits in a node, the procedural SimpleObject that
// rebuilds a mesh on demand, and the triangle-mesh object the pipeline converts objects to.
#pragma once
#include "sdk/classdesc.h"
#include "sdk/mesh.h"
#include "sdk/mousecb.h"
#include "sdk/ref.h"
#include "sdk/time.h"

class Object;
class INode;
class IParamBlock2;
class TriObject;

// The result of evaluating an object: the object that represents it at that time.
class ObjectState {
 public:
  ObjectState() = default;
  explicit ObjectState(Object* o) : obj(o) {}
  Object* obj = nullptr;
};

// What objects and modifiers share: panels, creation, display and bounds.
class BaseObject : public ReferenceTarget {
 public:
  // The callback the host drives to create the object interactively, or null.
  virtual CreateMouseCallBack* GetCreateMouseCallBack() { return nullptr; }
  // The name shown for the object.
  virtual const MCHAR* GetObjectName() { return ""; }
  // World-space bounds of the object in node (headless hosts use it for framing).
  virtual void GetWorldBoundBox(TimeValue /*t*/, INode* /*node*/, ViewExp* /*vpt*/, Box3& box) { box.Init(); }
};

// Something a node can hold and the pipeline can evaluate.
class Object : public BaseObject {
 public:
  // Evaluates the object at t (a procedural object answers itself).
  virtual ObjectState Eval(TimeValue t) = 0;
  // The interval over which the object's evaluation at t stays the same.
  virtual Interval ObjectValidity(TimeValue /*t*/) { return FOREVER; }
  virtual int CanConvertToType(Class_ID /*obtype*/) { return FALSE; }
  // An object of type obtype representing this one at t: this object, or a new one the caller
  // deletes (DeleteThis); null when it cannot convert.
  virtual Object* ConvertToType(TimeValue /*t*/, Class_ID /*obtype*/) { return nullptr; }
  // Sets name to the name new nodes holding the object get.
  virtual void InitNodeName(MSTR& name) { name = GetObjectName(); }
};

// An object with geometry.
class GeomObject : public Object {
 public:
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  // The mesh to render or export at t; needDelete tells whether the caller deletes it.
  virtual Mesh* GetRenderMesh(TimeValue /*t*/, INode* /*node*/, BOOL& needDelete) {
    needDelete = FALSE;
    return nullptr;
  }
  void GetWorldBoundBox(TimeValue t, INode* node, ViewExp* vpt, Box3& box) override;
};

// An object holding a triangle mesh: the pipeline's common currency.
class TriObject : public GeomObject {
 public:
  Mesh mesh;
  Interval geomValid = FOREVER;

  Mesh& GetMesh() { return mesh; }
  ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
  Interval ObjectValidity(TimeValue /*t*/) override { return geomValid; }
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  Mesh* GetRenderMesh(TimeValue t, INode* node, BOOL& needDelete) override;
  Class_ID ClassID() override { return triObjectClassID; }
  void GetClassName(MSTR& s) override { s = "Editable Mesh"; }
  const MCHAR* GetObjectName() override { return "Mesh"; }
  ReferenceTarget* Clone(RemapDir& remap) override;
};

// A new, empty triangle-mesh object.
TriObject* CreateNewTriObject();

// A procedural object that rebuilds its mesh from its parameters whenever the cached one is not
// valid at the asked time.
class SimpleObject : public GeomObject {
 public:
  Mesh mesh;                        // the cached mesh; never handed to modifiers
  Interval ivalid;                  // where the cached mesh is valid (NEVER at first)
  BOOL suspendSnap = FALSE;         // set while the object is being dragged out
  IParamBlock2* pblock2 = nullptr;  // the legacy block pointer; the subclass keeps it current

  // Rebuilds mesh for time t.
  virtual void BuildMesh(TimeValue t) = 0;
  // Rebuilds the mesh when ivalid does not contain t.
  void UpdateMesh(TimeValue t);
  // Marks the cached mesh stale.
  void InvalidateMesh() { ivalid.SetEmpty(); }

  ObjectState Eval(TimeValue t) override;
  Interval ObjectValidity(TimeValue t) override;
  int CanConvertToType(Class_ID obtype) override;
  // For triObjectClassID and defObjectClassID: a new TriObject holding a copy of the mesh at t.
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  Mesh* GetRenderMesh(TimeValue t, INode* node, BOOL& needDelete) override;
  // A change of a referenced block or map makes the cached mesh stale.
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle target, PartID& partID,
                             RefMessage message) override;
  void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) override;
  void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) override;
};
