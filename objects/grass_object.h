// What the grass blade and the grass bundle share: one parameter block as reference 0 and
// sub-animatable 0, the class-wide interface pointer of the open panel, nothing saved beyond the
// block, a mesh valid forever, and conversion to a triangle object.
#pragma once
#include <new>

#include "res/class_descs.h"
#include "sdk/classdesc.h"
#include "sdk/object.h"
#include "sdk/paramblock.h"

class GrassObject : public SimpleObject {
 public:
  // The parameter block: reference 0 and sub-animatable 0 (also in SimpleObject::pblock2).
  IParamBlock2* pblock = nullptr;

  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  // Keeps the interface in the class-wide pointer and opens the class's automatic panel.
  void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) override;
  // Closes the panel and clears the class-wide pointer.
  void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) override;

  int NumSubs() override { return 1; }
  Animatable* SubAnim(int i) override { return i == 0 ? pblock : nullptr; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override;
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }
  void SetReference(int i, RefTargetHandle target) override;
  IOResult Save(ISave* /*isave*/) override { return IO_OK; }
  IOResult Load(ILoad* /*iload*/) override { return IO_OK; }

  void InitNodeName(MSTR& name) override { name = GetObjectName(); }
  ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
  int CanConvertToType(Class_ID obtype) override;
  // The object does not declare itself time-dependent, even when its parameters are animated.
  Interval ObjectValidity(TimeValue /*t*/) override { return FOREVER; }

 protected:
  // The descriptor whose table builds the block and the panel: the one registered for the class
  // id, or null.
  ClassDesc2* Descriptor() { return FindClassDesc(ClassID()); }
  // The class-wide interface pointer of the open panel.
  virtual IObjParam*& PanelInterface() = 0;

  // A new T with a clone of this object's block and an empty validity; null when T cannot be made
  // (no exception may leave the plug-in).
  template <class T>
  ReferenceTarget* CloneAs(RemapDir& remap) {
    T* copy = nullptr;
    try {
      copy = new T();
    } catch (...) {
      return nullptr;
    }
    copy->ReplaceReference(0, remap.CloneRef(pblock));
    copy->ivalid.SetEmpty();
    BaseClone(this, copy, remap);
    return copy;
  }
};
