// Scene nodes: a named, transformed holder of an object and its modifier stack, with children
// for groups. The host owns nodes (Interface::CreateObjectNode, DeleteNode); a node references its
// object and modifiers, so deleting a node frees whatever nothing else holds.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sdk/modifier.h"
#include "sdk/object.h"
#include "sdk/tab.h"

class INode : public ReferenceMaker {
 public:
  // A node whose name counts for MakeNameUnique (every node but the host's invisible root).
  INode();
  // The host's root: its name is nobody's to avoid.
  struct Unlisted {};
  explicit INode(Unlisted);
  ~INode() override;

  const MCHAR* GetName() const { return name_.c_str(); }
  void SetName(const MCHAR* name);

  // The node's transform at t (constant: nodes are not animated by this host).
  Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr);
  void SetNodeTM(TimeValue t, const Matrix3& tm);
  // The transform of the object in world space (the node transform; no object offset).
  Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr) { return GetNodeTM(t, valid); }

  Object* GetObjectRef() const { return object_; }
  // Puts obj in the node (the old object is released).
  void SetObjectRef(Object* obj);

  // The modifier stack, bottom (applied first) to top.
  int NumModifiers() const { return static_cast<int>(mods_.size()); }
  Modifier* GetModifier(int i) const;
  ModContext* GetModContext(int i) const;
  // Adds mod on top of the stack; its context gets the object's bounding box at t and no tm.
  void AddModifier(Modifier* mod, TimeValue t = 0);
  void DeleteModifier(int i);

  // Evaluates the pipeline at t: the object's Eval, and when there are modifiers, a TriObject
  // copy of it (ConvertToType) that each modifier changes in turn. The state stays valid until
  // the next evaluation of this node or its deletion.
  const ObjectState& EvalWorldState(TimeValue t);

  // Hierarchy: groups are a head node with member children.
  INode* GetParentNode() const { return parent_; }
  int NumberOfChildren() const { return static_cast<int>(children_.size()); }
  INode* GetChildNode(int i) const;
  void AttachChild(INode* child);
  // Attaches the nodes in order, taking each from its parent; the same as AttachChild one by one,
  // but each old parent gives up all its moving children in one pass.
  void AttachChildren(const std::vector<INode*>& children);
  void DetachChild(INode* child);
  BOOL IsGroupHead() const { return group_head_; }
  void SetGroupHead(BOOL on) { group_head_ = on; }
  BOOL IsRootNode() const { return parent_ == nullptr; }

  // ReferenceMaker: slot 0 is the object, slots 1.. the modifiers bottom to top.
  int NumRefs() override { return 1 + NumModifiers(); }
  RefTargetHandle GetReference(int i) override;
  void SetReference(int i, RefTargetHandle target) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle target, PartID& partID,
                             RefMessage message) override;
  SClass_ID SuperClassID() override { return BASENODE_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(NODE_CLASS_ID, 0); }
  void GetClassName(MSTR& s) override { s = "Node"; }

 private:
  struct ModEntry {
    Modifier* mod = nullptr;
    std::unique_ptr<Matrix3> tm;
    std::unique_ptr<Box3> box;
    std::unique_ptr<ModContext> mc;
  };
  void DropPipeline();

  std::string name_;
  bool listed_ = true;  // the name is in NodeNames()
  Matrix3 tm_;
  Object* object_ = nullptr;
  std::vector<ModEntry> mods_;
  INode* parent_ = nullptr;
  std::vector<INode*> children_;
  BOOL group_head_ = FALSE;
  ObjectState state_;
  Object* pipeline_copy_ = nullptr;  // the TriObject handed to modifiers, owned here
};

using INodeTab = Tab<INode*>;
