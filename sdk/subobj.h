// Sub-object editing of modifiers: the named sub-object levels a modifier offers, the transform
// tools (command modes) active at a level, and the callbacks that collect sub-object centres and
// matrices for the transform gizmo.
//
// A host (or test) enters a level of the edited modifier with EnterSubObjectLevel: the level is
// stored on the interface, the modifier's ActivateSubobjSel fills the transform modes, and the
// move mode becomes the current command mode. A move drag is then MoveModBoxCMode::Drag.
#pragma once
#include "sdk/core.h"
#include "sdk/geom.h"
#include "sdk/time.h"

class Modifier;
class ModContext;

// Kinds of command modes.
constexpr int MOVE_COMMAND = 1;

// A mouse tool of the host, active while it is the interface's current command mode.
class CommandMode {
 public:
  virtual ~CommandMode() = default;
  // The kind of tool (MOVE_COMMAND, ...).
  virtual int Class() = 0;
};

// The tool that moves a modifier's gizmo or sub-object box: each drag step hands the modifier
// its Move with the offset of the step.
class MoveModBoxCMode : public CommandMode {
 public:
  MoveModBoxCMode(Modifier* mod, IObjParam* ip) : mod_(mod), ip_(ip) {}
  int Class() override { return MOVE_COMMAND; }
  // One drag step by offset, expressed in the axis matrix, of a gizmo whose parent space is
  // parent (both the identity for a drag in the modifier's own space).
  void Drag(TimeValue t, const Point3& offset, const Matrix3& parent = Matrix3(), const Matrix3& axis = Matrix3());
  Modifier* GetModifier() const { return mod_; }
  IObjParam* GetInterface() const { return ip_; }

 private:
  Modifier* mod_;
  IObjParam* ip_;
};

// The transform tools a sub-object level offers (null: not offered).
class XFormModes {
 public:
  XFormModes() = default;
  XFormModes(CommandMode* move_, CommandMode* rotate_, CommandMode* nuscale_, CommandMode* uscale_,
             CommandMode* squash_, CommandMode* select_)
      : move(move_), rotate(rotate_), nuscale(nuscale_), uscale(uscale_), squash(squash_), select(select_) {}
  CommandMode* move = nullptr;
  CommandMode* rotate = nullptr;
  CommandMode* nuscale = nullptr;
  CommandMode* uscale = nullptr;
  CommandMode* squash = nullptr;
  CommandMode* select = nullptr;
};

// A sub-object level as the modifier panel lists it.
class ISubObjType {
 public:
  virtual ~ISubObjType() = default;
  virtual const MCHAR* GetName() = 0;
  // The icon strip and the icon's index in it.
  virtual const MCHAR* GetIconFile() = 0;
  virtual int GetIconIndex() = 0;
};

// A sub-object level with a name that may be set after construction (on first use, once the
// plug-in's strings are loaded).
class GenSubObjType : public ISubObjType {
 public:
  GenSubObjType(const MCHAR* name, const MCHAR* iconFile, int iconIndex)
      : name_(name), iconFile_(iconFile), iconIndex_(iconIndex) {}
  void SetName(const MCHAR* name) { name_ = name; }
  const MCHAR* GetName() override { return name_; }
  const MCHAR* GetIconFile() override { return iconFile_; }
  int GetIconIndex() override { return iconIndex_; }

 private:
  CStr name_;
  CStr iconFile_;
  int iconIndex_;
};

// Receives the centres and matrices of sub-objects, numbered from 0.
class SubObjAxisCallback {
 public:
  virtual ~SubObjAxisCallback() = default;
  virtual void Center(const Point3& c, int id) = 0;
  virtual void TM(const Matrix3& tm, int id) = 0;
};

// Enters sub-object level `level` (0 leaves sub-object editing) of the modifier whose panel is
// open: sets the interface's level, asks the modifier for its transform modes and makes the move
// mode, if any, the current command mode. Returns that move mode, or null.
CommandMode* EnterSubObjectLevel(IObjParam* ip, Modifier* mod, int level);
