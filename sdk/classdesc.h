// Class descriptors: how a plug-in class tells the host its name, family and id, creates its
// objects, and (ClassDesc2) builds their parameter blocks and automatic panels.
#pragma once
#include <vector>

#include "sdk/classid.h"
#include "sdk/paramdesc.h"
#include "sdk/platform.h"
#include "sdk/ref.h"

class Interface;
class IObjParam;
class IParamMap2;
class ParamMap2UserDlgProc;

// The host's view of one plug-in class.
class ClassDesc {
 public:
  ClassDesc() = default;
  ClassDesc(const ClassDesc&) = delete;
  ClassDesc& operator=(const ClassDesc&) = delete;
  virtual ~ClassDesc() = default;

  // 1 when the user may create the class.
  virtual int IsPublic() = 0;
  // A new object of the class, or null; loading tells that the scene loader will restore it.
  virtual ReferenceTarget* Create(BOOL loading = FALSE) = 0;
  virtual const MCHAR* ClassName() = 0;
  virtual SClass_ID SuperClassID() = 0;
  virtual Class_ID ClassID() = 0;
  virtual const MCHAR* Category() = 0;
  // Script-visible name, never localised.
  virtual const MCHAR* InternalName() { return nullptr; }
  // The module whose resources (strings, dialogs) the class uses.
  virtual HINSTANCE HInstance() { return nullptr; }

  virtual int BeginCreate(Interface* /*i*/) { return 0; }
  virtual int EndCreate(Interface* /*i*/) { return 0; }
  virtual BOOL OkToCreate(Interface* /*i*/) { return TRUE; }
  virtual BOOL NeedsToSave() { return FALSE; }
  virtual IOResult Save(ISave* /*isave*/) { return IO_OK; }
  virtual IOResult Load(ILoad* /*iload*/) { return IO_OK; }
  // Open (bit set) or rolled-up state of the class's rollout pages.
  virtual DWORD InitialRollupPageState() { return 0x7fffffff; }
};

// A class descriptor with parameter-block descriptions: builds the blocks of new objects and the
// automatic panels of their rollouts.
class ClassDesc2 : public ClassDesc {
 public:
  ~ClassDesc2() override;

  // Called by ParamBlockDesc2's constructor and destructor.
  void AddParamBlockDesc(ParamBlockDesc2* pbd);
  void RemoveParamBlockDesc(ParamBlockDesc2* pbd);

  int NumParamBlockDescs() const { return static_cast<int>(descs_.size()); }
  ParamBlockDesc2* GetParamBlockDesc(int i) const;
  ParamBlockDesc2* GetParamBlockDescByID(BlockID id) const;

  // Builds a block with defaults for every P_AUTO_CONSTRUCT description and installs it in the
  // owner's slot (ReplaceReference at the description's reference number).
  virtual void MakeAutoParamBlocks(ReferenceMaker* owner);
  // Opens the automatic rollouts of every P_AUTO_UI description for obj's blocks: builds each
  // rollout from its dialog template, binds the controls, and calls the user dialog procedure
  // with WM_INITDIALOG, then WM_PAINT.
  virtual void BeginEditParams(IObjParam* ip, ReferenceMaker* obj, ULONG flags, Animatable* prev);
  // Closes the rollouts that BeginEditParams opened for obj.
  virtual void EndEditParams(IObjParam* ip, ReferenceMaker* obj, ULONG flags, Animatable* next);
  // Refreshes every open panel of the class's blocks.
  void InvalidateUI();
  // Refreshes parameter id (all for -1) in the open panels of pbd.
  void InvalidateUI(ParamBlockDesc2* pbd, ParamID id = -1);
  // Sets the user dialog procedure of a rollout of the first description (or of pbd).
  void SetUserDlgProc(ParamMap2UserDlgProc* proc);
  void SetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id, ParamMap2UserDlgProc* proc);
  // The open panel of a rollout, or null.
  IParamMap2* GetParamMap(ParamBlockDesc2* pbd, MapID map_id = 0);

 private:
  std::vector<ParamBlockDesc2*> descs_;
};
