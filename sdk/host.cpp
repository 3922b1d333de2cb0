#include "sdk/host.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "sdk/classdir.h"
#include "sdk/node_names.h"

Host::Host() : root_(std::make_unique<INode>(INode::Unlisted{})) { root_->SetName("Scene Root"); }

Host::~Host() { ResetScene(); }

ReferenceTarget* Host::CreateInstance(SClass_ID superID, Class_ID classID) {
  ClassDesc* cd = GetClassDirectory().FindClass(superID, classID);
  return cd ? cd->Create(FALSE) : nullptr;
}

INode* Host::CreateObjectNode(Object* obj) {
  auto* node = new INode();
  root_->AttachChild(node);
  MSTR name;
  if (obj) {
    node->SetObjectRef(obj);
    obj->InitNodeName(name);
  }
  if (name.Length() == 0) name = "Object";
  MakeNameUnique(name);
  node->SetName(name);
  return node;
}

void Host::MakeNameUnique(MSTR& name) {
  NodeNameIndex& names = NodeNames();
  if (!names.Taken(name.str())) return;
  // "Box" and "Box007" share the stem "Box"; the first free number from 001 on is appended.
  std::string stem = name.str();
  while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back()))) stem.pop_back();
  name = names.FirstFree(stem);
}

INode* Host::GroupNodes(INodeTab* nodes, MSTR* name, BOOL /*selGroup*/) {
  MSTR group = name && name->Length() ? *name : MSTR("Group");
  MakeNameUnique(group);
  auto* head = new INode();
  head->SetName(group);
  head->SetGroupHead(TRUE);
  root_->AttachChild(head);
  if (nodes) {
    std::vector<INode*> members;
    members.reserve(static_cast<std::size_t>(nodes->Count()));
    for (int i = 0; i < nodes->Count(); ++i) members.push_back((*nodes)[i]);
    head->AttachChildren(members);
  }
  if (name) *name = group;
  return head;
}

void Host::DeleteNode(INode* node) {
  if (!node || node == root_.get()) return;
  while (node->NumberOfChildren() > 0) DeleteNode(node->GetChildNode(node->NumberOfChildren() - 1));
  delete node;  // detaches itself; its references let go of the object and modifiers
}

INode* Host::GetINodeByName(const MCHAR* name) {
  if (!name) return nullptr;
  std::function<INode*(INode*)> find = [&](INode* n) -> INode* {
    for (int i = 0; i < n->NumberOfChildren(); ++i) {
      INode* c = n->GetChildNode(i);
      if (std::string(c->GetName()) == name) return c;
      if (INode* d = find(c)) return d;
    }
    return nullptr;
  };
  return find(root_.get());
}

void Host::DeleteMode(CommandMode* mode) {
  modes_.erase(std::remove(modes_.begin(), modes_.end(), mode), modes_.end());
}

void Host::ResetScene() {
  GetCommandPanel().RemoveAllObjectPages();
  while (root_->NumberOfChildren() > 0) DeleteNode(root_->GetChildNode(root_->NumberOfChildren() - 1));
  time_ = 0;
  animate_ = FALSE;
  subobj_level_ = 0;
  modes_.clear();
}

std::vector<INode*> Host::AllNodes() {
  std::vector<INode*> out;
  std::function<void(INode*)> walk = [&](INode* n) {
    for (int i = 0; i < n->NumberOfChildren(); ++i) {
      out.push_back(n->GetChildNode(i));
      walk(n->GetChildNode(i));
    }
  };
  walk(root_.get());
  return out;
}

Host& TheHost() {
  // Never destroyed: plug-in objects in the scene may outlive their unloaded code at exit.
  static Host* host = new Host();
  return *host;
}

IObjParam* GetCOREInterface() { return &TheHost(); }
BOOL Animating() { return TheHost().IsAnimateOn(); }
void AnimateOn() { TheHost().SetAnimateMode(TRUE); }
void AnimateOff() { TheHost().SetAnimateMode(FALSE); }
