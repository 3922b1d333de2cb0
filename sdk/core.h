// The host's core interface as plug-ins see it: time, animate mode, the scene's nodes, creating
// objects by class, and (IObjParam) the command panel and command modes while a panel is open.
#pragma once
#include "sdk/classid.h"
#include "sdk/node.h"
#include "sdk/platform.h"
#include "sdk/tab.h"
#include "sdk/time.h"

class IRollupWindow;
class CommandMode;

// The host's services.
class Interface {
 public:
  virtual ~Interface() = default;

  virtual TimeValue GetTime() = 0;
  virtual void SetTime(TimeValue t) = 0;
  // Animate mode: while on, setting an animatable parameter sets a key.
  virtual void SetAnimateMode(BOOL on) = 0;
  virtual BOOL IsAnimateOn() = 0;

  // A new object of a registered class (ClassDesc::Create), or null when no such class exists.
  virtual ReferenceTarget* CreateInstance(SClass_ID superID, Class_ID classID) = 0;
  // A new top-level node holding obj, named by obj->InitNodeName (made unique).
  virtual INode* CreateObjectNode(Object* obj) = 0;
  // Changes name in place so that no node bears it ("Name" -> "Name001", "Name002", ...).
  virtual void MakeNameUnique(MSTR& name) = 0;
  // Makes a group head named name (made unique) whose children are the given nodes; returns it.
  virtual INode* GroupNodes(INodeTab* nodes = nullptr, MSTR* name = nullptr, BOOL selGroup = TRUE) = 0;
  // Deletes a node with its children, releasing their objects and modifiers.
  virtual void DeleteNode(INode* node) = 0;
  // The invisible root whose children are the top-level nodes.
  virtual INode* GetRootNode() = 0;
  // The first node with that name, depth first, or null.
  virtual INode* GetINodeByName(const MCHAR* name) = 0;
  virtual void RedrawViews(TimeValue /*t*/) {}
};

// The interface objects get while their panels are open.
class IObjParam : public Interface {
 public:
  // The command panel's rollup window (two host pages, then the object's rollouts).
  virtual IRollupWindow* GetCommandPanelRollup() = 0;
  virtual int GetSubObjectLevel() = 0;
  virtual void SetSubObjectLevel(int level) = 0;
  // Command modes (mouse tools) a plug-in installs while its panel is open.
  virtual void PushCommandMode(CommandMode* mode) = 0;
  virtual void DeleteMode(CommandMode* mode) = 0;
  virtual CommandMode* GetCommandMode() = 0;
};

// The host's interface; the same object for the whole process.
IObjParam* GetCOREInterface();

// Animate mode of the host.
BOOL Animating();
void AnimateOn();
void AnimateOff();
