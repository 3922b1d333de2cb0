// The host itself (what GetCOREInterface returns), with the few calls only hosts and tests make.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sdk/core.h"
#include "sdk/panel.h"

class Host final : public IObjParam {
 public:
  Host();
  ~Host() override;

  TimeValue GetTime() override { return time_; }
  void SetTime(TimeValue t) override { time_ = t; }
  void SetAnimateMode(BOOL on) override { animate_ = on; }
  BOOL IsAnimateOn() override { return animate_; }
  ReferenceTarget* CreateInstance(SClass_ID superID, Class_ID classID) override;
  INode* CreateObjectNode(Object* obj) override;
  void MakeNameUnique(MSTR& name) override;
  INode* GroupNodes(INodeTab* nodes, MSTR* name, BOOL selGroup) override;
  void DeleteNode(INode* node) override;
  INode* GetRootNode() override { return root_.get(); }
  INode* GetINodeByName(const MCHAR* name) override;

  IRollupWindow* GetCommandPanelRollup() override { return &GetCommandPanel(); }
  int GetSubObjectLevel() override { return subobj_level_; }
  void SetSubObjectLevel(int level) override { subobj_level_ = level; }
  void PushCommandMode(CommandMode* mode) override { modes_.push_back(mode); }
  void DeleteMode(CommandMode* mode) override;
  CommandMode* GetCommandMode() override { return modes_.empty() ? nullptr : modes_.back(); }

  // Host-only: deletes every node (closing any open panel first) and resets time, animate mode
  // and sub-object level.
  void ResetScene();
  // Every node below the root, depth first.
  std::vector<INode*> AllNodes();

 private:
  TimeValue time_ = 0;
  BOOL animate_ = FALSE;
  int subobj_level_ = 0;
  std::unique_ptr<INode> root_;
  std::vector<CommandMode*> modes_;
};

// The process's host.
Host& TheHost();
