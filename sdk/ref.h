// References and lifetime: animatables, reference makers and targets, change messages and cloning.
//
// A maker holds targets in numbered reference slots. ReplaceReference records the maker as a
// dependent of the new target; a target whose last dependent lets go is deleted (DeleteThis).
// A maker that is destroyed lets go of everything it holds, so deleting a node frees its object,
// the object's parameter block and its maps.
#pragma once
#include <map>
#include <vector>

#include "sdk/classid.h"
#include "sdk/platform.h"
#include "sdk/time.h"

class ReferenceMaker;
class ReferenceTarget;
class RemapDir;
class ISave;
class ILoad;
class IParamBlock2;
class IObjParam;
using RefTargetHandle = ReferenceTarget*;
using RefMakerHandle = ReferenceMaker*;
using BlockID = short;

// Messages sent to dependents when a target changes.
using RefMessage = ULONG;
constexpr RefMessage REFMSG_TARGET_DELETED = 0x10;
constexpr RefMessage REFMSG_CHANGE = 0x50;
constexpr RefMessage REFMSG_BEGIN_EDIT = 0x90;
constexpr RefMessage REFMSG_END_EDIT = 0xA0;
constexpr RefMessage REFMSG_MOD_DISPLAY_ON = 0xF2;
constexpr RefMessage REFMSG_MOD_DISPLAY_OFF = 0xF3;
constexpr RefMessage REFMSG_SUBANIM_STRUCTURE_CHANGED = 0x102;

// Which parts of an object a change touches (also the pipeline's channel bits).
using PartID = ULONG;
using ChannelMask = ULONG;
constexpr PartID TOPO_CHANNEL = 0x1;
constexpr PartID GEOM_CHANNEL = 0x2;
constexpr PartID TEXMAP_CHANNEL = 0x4;
constexpr PartID MTL_CHANNEL = 0x8;
constexpr PartID SELECT_CHANNEL = 0x10;
constexpr PartID SUBSEL_TYPE_CHANNEL = 0x20;
constexpr PartID DISP_ATTRIB_CHANNEL = 0x40;
constexpr PartID ALL_CHANNELS = 0x800037FF;
constexpr PartID PART_TOPO = TOPO_CHANNEL;
constexpr PartID PART_GEOM = GEOM_CHANNEL;
constexpr PartID PART_TEXMAP = TEXMAP_CHANNEL;
constexpr PartID PART_MTL = MTL_CHANNEL;
constexpr PartID PART_DISPLAY = DISP_ATTRIB_CHANNEL;
constexpr PartID PART_ALL = ALL_CHANNELS;

// Answers of NotifyRefChanged and the reference operations.
enum RefResult { REF_FAIL = 0, REF_SUCCEED = 1, REF_DONTCARE = 2, REF_STOP = 3 };

// Result of saving and loading.
enum IOResult { IO_OK = 0, IO_END = 1, IO_ERROR = 2 };

// Super-class filter of NotifyDependents: every dependent.
constexpr SClass_ID NOTIFY_ALL = 0xFFFFFFF0;

// Animatable flag: a modifier whose panel is open.
constexpr DWORD A_MOD_BEING_EDITED = 0x40;

// Anything the user can animate or browse: sub-animatables, class identity, flags, deletion.
class Animatable {
 public:
  Animatable() = default;
  Animatable(const Animatable&) = delete;
  Animatable& operator=(const Animatable&) = delete;
  virtual ~Animatable() = default;

  virtual int NumSubs() { return 0; }
  virtual Animatable* SubAnim(int /*i*/) { return nullptr; }
  virtual MSTR SubAnimName(int /*i*/) { return MSTR(); }
  // The reference slot a sub-animatable lives in, or -1.
  virtual int SubNumToRefNum(int subNum) { return subNum; }
  // Puts a new controller on sub-animatable subNum; FALSE when the class does not allow it.
  virtual BOOL AssignController(Animatable* /*control*/, int /*subNum*/) { return FALSE; }

  virtual Class_ID ClassID() { return Class_ID(0, 0); }
  virtual SClass_ID SuperClassID() = 0;
  virtual void GetClassName(MSTR& s) { s = ""; }
  // Frees the object; the host calls it, never `delete`, so a plug-in may allocate as it likes.
  virtual void DeleteThis() { delete this; }

  // Parameter blocks of the object (the host's panels, saving and scripting use them).
  virtual int NumParamBlocks() { return 0; }
  virtual IParamBlock2* GetParamBlock(int /*i*/) { return nullptr; }
  virtual IParamBlock2* GetParamBlockByID(BlockID /*id*/) { return nullptr; }

  // Opens and closes the object's panels in the command panel.
  virtual void BeginEditParams(IObjParam* /*ip*/, ULONG /*flags*/, Animatable* /*prev*/) {}
  virtual void EndEditParams(IObjParam* /*ip*/, ULONG /*flags*/, Animatable* /*next*/) {}

  void SetAFlag(DWORD mask) { aflag_ |= mask; }
  void ClearAFlag(DWORD mask) { aflag_ &= ~mask; }
  BOOL TestAFlag(DWORD mask) const { return (aflag_ & mask) != 0; }

 private:
  DWORD aflag_ = 0;
};

// An object that holds references to targets in numbered slots.
class ReferenceMaker : public Animatable {
 public:
  ~ReferenceMaker() override;

  virtual int NumRefs() { return 0; }
  virtual RefTargetHandle GetReference(int /*i*/) { return nullptr; }
  // Stores a target in slot i; called by ReplaceReference, which keeps the dependency records.
  virtual void SetReference(int /*i*/, RefTargetHandle /*target*/) {}

  // Puts target into slot which: this maker becomes a dependent of target and stops being one of
  // the old target, which is deleted when deleteOld is set and nothing else depends on it.
  RefResult ReplaceReference(int which, RefTargetHandle target, BOOL deleteOld = TRUE);
  // Empties every slot, deleting targets that nothing else depends on.
  RefResult DeleteAllRefs();
  // Empties one slot in the same way.
  RefResult DeleteReference(int which);
  // Lets go of every reference, then DeleteThis.
  void DeleteMe();

  // Called when a target this maker holds changes; the answer says whether to pass it on.
  virtual RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*target*/, PartID& /*partID*/,
                                     RefMessage /*message*/) {
    return REF_SUCCEED;
  }

  // Writes and reads the object's own data; the host saves parameter blocks and references itself.
  virtual IOResult Save(ISave* /*isave*/) { return IO_OK; }
  virtual IOResult Load(ILoad* /*iload*/) { return IO_OK; }

 private:
  friend class ReferenceTarget;
  void Release(ReferenceTarget* target, bool deleteIfOrphan);
  std::vector<ReferenceTarget*> held_;
};

// An object others can reference: keeps its dependents, notifies them of changes, clones itself.
class ReferenceTarget : public ReferenceMaker {
 public:
  ~ReferenceTarget() override;

  // Sends message to every dependent (NotifyRefChanged), and on to their dependents when
  // propagate is set and the dependent answers REF_SUCCEED.
  RefResult NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                             SClass_ID sclass = NOTIFY_ALL, BOOL propagate = TRUE, RefTargetHandle target = nullptr);

  // A new object with the same contents; references are cloned through remap.
  virtual ReferenceTarget* Clone(RemapDir& /*remap*/) { return nullptr; }
  // Copies what the base classes hold from `from` to `to` at the end of a Clone.
  virtual void BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap);

  const std::vector<ReferenceMaker*>& Dependents() const { return dependents_; }
  int NumDependents() const { return static_cast<int>(dependents_.size()); }
  // Deletes this target when nothing depends on it; TRUE when it was deleted.
  BOOL MaybeAutoDelete();

 private:
  friend class ReferenceMaker;
  std::vector<ReferenceMaker*> dependents_;
};

// One clone per target per clone operation: cloning an object that reaches the same target
// twice gives a copy that shares one clone of it.
class RemapDir {
 public:
  // The clone of target made in this operation, making it (target->Clone) on first request.
  RefTargetHandle CloneRef(RefTargetHandle target);
  // The clone already made for target, or target itself when there is none.
  RefTargetHandle FindMapping(RefTargetHandle target) const;
  void AddEntry(RefTargetHandle from, RefTargetHandle to) { map_[from] = to; }

 private:
  std::map<RefTargetHandle, RefTargetHandle> map_;
};

// Clones target (and everything it references) in one operation.
RefTargetHandle CloneRefHierarchy(RefTargetHandle target);
