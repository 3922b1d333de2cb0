// Parameter blocks: the values of one object's parameters, with ranges, key tracks for animatable
// floats, the host's animate mode and change notification.
#pragma once
#include <concepts>
#include <cstddef>
#include <string>
#include <vector>

#include "sdk/paramdesc.h"
#include "sdk/ref.h"

class Texmap;

// One key of a float track: linear in between, constant before the first and after the last.
struct ParamKey {
  TimeValue t = 0;
  float value = 0.0f;
  bool operator==(const ParamKey&) const = default;
};

// The parameter values of one object, described by a ParamBlockDesc2.
class IParamBlock2 : public ReferenceTarget {
 public:
  // A block with every parameter at its default; owner is the object that holds it (it may be
  // set later: the first dependent counts as the owner until then).
  IParamBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner);
  ~IParamBlock2() override;

  BlockID ID() const { return desc_->ID(); }
  ParamBlockDesc2* GetDesc() const { return desc_; }
  ReferenceMaker* GetOwner() const;
  void SetOwner(ReferenceMaker* owner) { owner_ = owner; }
  int NumParams() const { return desc_->Count(); }
  // The id of the parameter that changed last (-1 before any change).
  ParamID LastNotifyParamID() const { return last_changed_; }

  // Reads at time t; valid is narrowed to the interval over which the value holds. FALSE when
  // the id is unknown or of another type (the output is then left alone).
  BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& valid);
  BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& valid);
  BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& valid);
  BOOL GetValue(ParamID id, TimeValue t, const char*& v, Interval& valid);
  template <class T>
  requires std::derived_from<T, ReferenceTarget> BOOL GetValue(ParamID id, TimeValue t, T*& v, Interval& valid) {
    ReferenceTarget* r = nullptr;
    if (!GetRefTarget(id, t, r, valid)) return FALSE;
    v = static_cast<T*>(r);
    return TRUE;
  }

  // Writes at time t, clamped to the range; with animate mode on, an animatable float gets a key
  // at t. Non-finite floats and unknown ids are refused (FALSE, value unchanged). A change
  // notifies the dependents (REFMSG_CHANGE) and records the id.
  BOOL SetValue(ParamID id, TimeValue t, float v);
  BOOL SetValue(ParamID id, TimeValue t, double v) { return SetValue(id, t, static_cast<float>(v)); }
  BOOL SetValue(ParamID id, TimeValue t, int v);
  BOOL SetValue(ParamID id, TimeValue t, const Point3& v);
  BOOL SetValue(ParamID id, TimeValue t, const char* v);
  BOOL SetValue(ParamID id, TimeValue t, std::nullptr_t) { return SetRefTarget(id, t, nullptr); }
  template <class T>
  requires std::derived_from<T, ReferenceTarget> BOOL SetValue(ParamID id, TimeValue t, T* v) {
    return SetRefTarget(id, t, v);
  }

  // Shorthands that read with an unused validity; 0, "" or null for unknown ids.
  float GetFloat(ParamID id, TimeValue t = 0);
  int GetInt(ParamID id, TimeValue t = 0);
  Point3 GetPoint3(ParamID id, TimeValue t = 0);
  const char* GetStr(ParamID id, TimeValue t = 0);
  template <class T = Texmap>
  T* GetTexmap(ParamID id, TimeValue t = 0) {
    ReferenceTarget* r = nullptr;
    Interval iv = FOREVER;
    return GetRefTarget(id, t, r, iv) ? static_cast<T*>(r) : nullptr;
  }

  // Reference-valued parameters (texture maps), untyped; the templates above wrap these.
  BOOL GetRefTarget(ParamID id, TimeValue t, ReferenceTarget*& v, Interval& valid);
  BOOL SetRefTarget(ParamID id, TimeValue t, ReferenceTarget* v);

  // Key tracks of animatable floats.
  int NumKeys(ParamID id) const;
  // Key k of the track (k in 0..NumKeys-1); FALSE when absent.
  BOOL GetKey(ParamID id, int k, ParamKey& key) const;
  // Sets (or replaces) the key at t, clamped to the range; FALSE for non-finite values,
  // parameters that are not animatable floats, or unknown ids.
  BOOL SetKey(ParamID id, TimeValue t, float v);
  // Removes the track; the parameter keeps the value it had at time t.
  void ClearKeys(ParamID id, TimeValue t = 0);

  // Puts every parameter back to its default and drops all keys.
  void ResetAll();

  // Copies values and keys from another block of the same description (not notifying).
  void CopyValuesFrom(const IParamBlock2& other);

  // ReferenceTarget: texture maps held by the block itself (not P_OWNERS_REF) are its references,
  // one slot per parameter index.
  int NumRefs() override { return NumParams(); }
  RefTargetHandle GetReference(int i) override;
  void SetReference(int i, RefTargetHandle target) override;
  ReferenceTarget* Clone(RemapDir& remap) override;
  SClass_ID SuperClassID() override { return PARAMETER_BLOCK2_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(PARAMBLOCK2_CLASS_ID, 0); }
  void GetClassName(MSTR& s) override { s = "ParamBlock2"; }

 private:
  struct Slot {
    float f = 0.0f;
    int i = 0;
    Point3 p{};
    std::string s;
    ReferenceTarget* ref = nullptr;  // maps held by the block itself
    std::vector<ParamKey> keys;
  };
  Slot* Find(ParamID id, const ParamDef** def);
  const Slot* Find(ParamID id, const ParamDef** def) const;
  void Changed(ParamID id);

  ParamBlockDesc2* desc_;
  ReferenceMaker* owner_;
  std::vector<Slot> slots_;  // by definition index
  ParamID last_changed_ = -1;
};

// Builds a block of the description for owner, with every parameter at its default.
IParamBlock2* CreateParameterBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner);
