// Small classes the SDK tests build on: a map, an object with a block and a map slot, and a
// descriptor with a table, resources and a panel procedure that records what it is sent.
#pragma once
#include <vector>

#include "sdk/classdesc.h"
#include "sdk/module.h"
#include "sdk/object.h"
#include "sdk/paramblock.h"
#include "sdk/parammap.h"

// A target that counts how many of its kind are alive.
class CountedMap : public ReferenceTarget {
 public:
  static inline int alive = 0;
  CountedMap() { ++alive; }
  ~CountedMap() override { --alive; }
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  void GetClassName(MSTR& s) override { s = "Counted"; }
  ReferenceTarget* Clone(RemapDir& remap) override {
    auto* c = new CountedMap();
    BaseClone(this, c, remap);
    return c;
  }
};

// Records the messages a panel procedure receives.
class RecordingProc : public ParamMap2UserDlgProc {
 public:
  struct Call {
    UINT msg;
    WPARAM w;
    int size_at_call;  // parameter 0 as the procedure saw it
  };
  std::vector<Call> calls;
  int deleted = 0;
  INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND, UINT msg, WPARAM w, LPARAM) override {
    calls.push_back({msg, w, static_cast<int>(map->GetParamBlock()->GetFloat(0, t))});
    return FALSE;
  }
  void DeleteThis() override { ++deleted; }
};

class TestObject;

// Descriptor of TestObject; its module record carries dialog 500 and string 1.
class TestDesc : public ClassDesc2 {
 public:
  TestDesc();
  ~TestDesc() override;
  int IsPublic() override { return 1; }
  ReferenceTarget* Create(BOOL) override;
  const MCHAR* ClassName() override { return "Test object"; }
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
  const MCHAR* Category() override { return "Tests"; }
  HINSTANCE HInstance() override { return module_; }

  ResourceTable resources;
  RecordingProc proc;

 private:
  HINSTANCE module_;
};

TestDesc& TheTestDesc();
ParamBlockDesc2& TheTestBlockDesc();

// Parameters: 0 float "size" [0, 10] spinner 10/11, 1 int "mode" [0, 1] radio 20/21, 2 BOOL "on"
// check box 30, 3 texture map in the owner's slot 1 (button 40), 4 string "path", 5 float
// "angle" unbounded and not animatable.
class TestObject : public SimpleObject {
 public:
  static inline int alive = 0;
  static inline int builds = 0;
  IParamBlock2* pb = nullptr;
  ReferenceTarget* map = nullptr;

  TestObject() {
    ++alive;
    TheTestDesc().MakeAutoParamBlocks(this);
  }
  ~TestObject() override { --alive; }
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
  int NumRefs() override { return 2; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pb : i == 1 ? map : nullptr; }
  void SetReference(int i, RefTargetHandle t) override {
    if (i == 0) pblock2 = pb = dynamic_cast<IParamBlock2*>(t);
    if (i == 1) map = t;
  }
  IParamBlock2* GetParamBlockByID(BlockID id) override { return pb && pb->ID() == id ? pb : nullptr; }
  void BuildMesh(TimeValue t) override {
    ++builds;
    float s = pb->GetFloat(0, t);
    mesh.setNumVerts(3);
    mesh.setNumFaces(1);
    mesh.verts = {Point3(0.0f, 0.0f, 0.0f), Point3(s, 0.0f, 0.0f), Point3(0.0f, s, 0.0f)};
    mesh.faces[0].setVerts(0, 1, 2);
    ivalid = FOREVER;
  }
  ReferenceTarget* Clone(RemapDir& remap) override {
    auto* c = new TestObject();
    c->ReplaceReference(0, remap.CloneRef(pb));
    c->ReplaceReference(1, remap.CloneRef(map));
    BaseClone(this, c, remap);
    return c;
  }
};
