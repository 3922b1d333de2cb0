#include "sdk/node.h"

#include <algorithm>
#include <unordered_set>

#include "sdk/node_names.h"

INode::INode() { NodeNames().Add(name_); }

INode::INode(Unlisted) : listed_(false) {}

INode::~INode() {
  DropPipeline();
  for (INode* c : children_) c->parent_ = nullptr;
  if (parent_) parent_->DetachChild(this);
  if (listed_) NodeNames().Remove(name_);
}

void INode::SetName(const MCHAR* name) {
  if (listed_) NodeNames().Remove(name_);
  name_ = name ? name : "";
  if (listed_) NodeNames().Add(name_);
}

Matrix3 INode::GetNodeTM(TimeValue /*t*/, Interval* valid) {
  if (valid) *valid &= FOREVER;
  return tm_;
}

void INode::SetNodeTM(TimeValue /*t*/, const Matrix3& tm) { tm_ = tm; }

void INode::SetObjectRef(Object* obj) {
  DropPipeline();
  ReplaceReference(0, obj);
}

Modifier* INode::GetModifier(int i) const {
  return i >= 0 && i < NumModifiers() ? mods_[static_cast<size_t>(i)].mod : nullptr;
}

ModContext* INode::GetModContext(int i) const {
  return i >= 0 && i < NumModifiers() ? mods_[static_cast<size_t>(i)].mc.get() : nullptr;
}

void INode::AddModifier(Modifier* mod, TimeValue t) {
  if (!mod) return;
  ModEntry e;
  e.box = std::make_unique<Box3>();
  if (auto* g = dynamic_cast<GeomObject*>(object_)) {
    BOOL needDelete = FALSE;
    if (Mesh* m = g->GetRenderMesh(t, this, needDelete)) {
      *e.box = m->getBoundingBox();
      if (needDelete) delete m;
    }
  }
  e.mc = std::make_unique<ModContext>(nullptr, e.box.get());
  mods_.push_back(std::move(e));
  DropPipeline();
  ReplaceReference(NumModifiers(), mod);
}

void INode::DeleteModifier(int i) {
  if (i < 0 || i >= NumModifiers()) return;
  DropPipeline();
  DeleteReference(i + 1);
  mods_.erase(mods_.begin() + i);
}

const ObjectState& INode::EvalWorldState(TimeValue t) {
  DropPipeline();
  state_ = object_ ? object_->Eval(t) : ObjectState();
  if (mods_.empty() || !state_.obj) return state_;
  Object* conv = state_.obj->ConvertToType(t, triObjectClassID);
  if (!conv) return state_;
  if (conv == state_.obj) {
    // The base object is itself a mesh object: the modifiers get a copy, never the original.
    TriObject* copy = CreateNewTriObject();
    copy->mesh = static_cast<TriObject*>(conv)->mesh;
    conv = copy;
  }
  pipeline_copy_ = conv;
  state_.obj = conv;
  for (ModEntry& e : mods_)
    if (e.mod) e.mod->ModifyObject(t, *e.mc, &state_, this);
  return state_;
}

void INode::DropPipeline() {
  if (pipeline_copy_) pipeline_copy_->DeleteThis();
  pipeline_copy_ = nullptr;
  state_ = ObjectState();
}

INode* INode::GetChildNode(int i) const {
  return i >= 0 && i < NumberOfChildren() ? children_[static_cast<size_t>(i)] : nullptr;
}

void INode::AttachChild(INode* child) {
  if (!child || child == this) return;
  if (child->parent_) child->parent_->DetachChild(child);
  children_.push_back(child);
  child->parent_ = this;
}

void INode::AttachChildren(const std::vector<INode*>& children) {
  std::unordered_set<INode*> moving, parents;
  std::vector<INode*> order;
  for (INode* c : children) {
    if (!c || c == this || !moving.insert(c).second) continue;
    order.push_back(c);
    if (c->parent_) parents.insert(c->parent_);
  }
  for (INode* p : parents) {
    auto& kids = p->children_;
    kids.erase(std::remove_if(kids.begin(), kids.end(), [&](INode* c) { return moving.count(c) > 0; }), kids.end());
  }
  for (INode* c : order) {
    children_.push_back(c);
    c->parent_ = this;
  }
}

void INode::DetachChild(INode* child) {
  // From the back: nodes are mostly deleted or regrouped newest first.
  auto it = std::find(children_.rbegin(), children_.rend(), child);
  if (it == children_.rend()) return;
  children_.erase(std::next(it).base());
  child->parent_ = nullptr;
}

RefTargetHandle INode::GetReference(int i) {
  if (i == 0) return object_;
  return GetModifier(i - 1);
}

void INode::SetReference(int i, RefTargetHandle target) {
  if (i == 0) {
    object_ = dynamic_cast<Object*>(target);
  } else if (i >= 1 && i <= NumModifiers()) {
    mods_[static_cast<size_t>(i - 1)].mod = dynamic_cast<Modifier*>(target);
  }
}

RefResult INode::NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*target*/, PartID& /*partID*/,
                                  RefMessage message) {
  // The pipeline copy may hold data of a deleted or changed target; it is rebuilt on demand.
  if (message == REFMSG_TARGET_DELETED) DropPipeline();
  return REF_SUCCEED;
}
