// Automatic panels: the map between one rollout's controls and a parameter block, the user dialog
// procedure a class adds to it, and the command panel's rollup window.
#pragma once
#include "sdk/paramdesc.h"
#include "sdk/platform.h"
#include "sdk/time.h"

class IParamBlock2;
class IParamMap2;

// A class's own handling of its rollout's messages, called after the host has updated the bound
// parameter. Returns TRUE when it handled the message.
class ParamMap2UserDlgProc {
 public:
  virtual ~ParamMap2UserDlgProc() = default;
  virtual INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  // Called when the panel that used the procedure closes.
  virtual void DeleteThis() = 0;
  virtual void SetThing(ReferenceTarget* /*m*/) {}
  virtual void Update(TimeValue /*t*/) {}
  virtual void SetParamBlock(IParamBlock2* /*pb*/) {}
};

// One open rollout bound to a parameter block.
class IParamMap2 {
 public:
  IParamMap2(IParamBlock2* pblock, ParamBlockDesc2* desc, const RolloutDesc& rollout, HWND page, int page_index);
  IParamMap2(const IParamMap2&) = delete;
  IParamMap2& operator=(const IParamMap2&) = delete;

  HWND GetHWnd() const { return page_; }
  IParamBlock2* GetParamBlock() const { return pblock_; }
  ParamBlockDesc2* GetDesc() const { return desc_; }
  MapID GetMapID() const { return rollout_.map_id; }
  // The index of the rollout's page in the command panel.
  int GetRollupIndex() const { return page_index_; }
  void SetRollupIndex(int index) { page_index_ = index; }
  ParamMap2UserDlgProc* GetUserDlgProc() const { return proc_; }
  void SetUserDlgProc(ParamMap2UserDlgProc* proc) { proc_ = proc; }

  // Shows the current value of parameter id (every bound parameter for -1) in its controls.
  void Invalidate(ParamID id = -1);
  // Calls the user dialog procedure, if any; FALSE otherwise.
  INT_PTR CallProc(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  IParamBlock2* pblock_;
  ParamBlockDesc2* desc_;
  RolloutDesc rollout_;
  HWND page_;
  int page_index_;
  ParamMap2UserDlgProc* proc_;
};

// The pages of a rollup window (the command panel), by index.
class IRollupWindow {
 public:
  virtual ~IRollupWindow() = default;
  virtual int GetNumPanels() = 0;
  virtual HWND GetPanelDlg(int index) = 0;
  // Opens (unrolls) or closes (rolls up) page index.
  virtual void SetPanelOpen(int index, BOOL isOpen, BOOL ignoreFlags = TRUE) = 0;
  virtual BOOL IsPanelOpen(int index) = 0;
  virtual const MCHAR* GetPanelTitle(int index) = 0;
};
