// The host's command panel (headless): two host pages, then the rollouts of the object being
// edited; and the user actions scripts and tests perform on it. Each action updates the bound
// parameter first, then calls the rollout's user dialog procedure (WM_COMMAND with the control
// id in the low word, or CC_SPINNER_CHANGE for spinners).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sdk/parammap.h"
#include "sdk/window.h"

class ReferenceTarget;

// The number of host pages before an object's rollouts.
constexpr int kHostPanelPages = 2;

class CommandPanel : public IRollupWindow {
 public:
  CommandPanel();
  ~CommandPanel() override;

  // Appends a page (and the map bound to it, owned from now on); returns its index.
  int AddPage(const std::string& title, std::unique_ptr<HWND__> page, BOOL open, std::unique_ptr<IParamMap2> map);
  // Removes the pages of maps bound to pblock (closing a panel); calls each map's user dialog
  // procedure's DeleteThis.
  void RemovePagesOf(const IParamBlock2* pblock);
  // Removes every page after the host pages.
  void RemoveAllObjectPages();

  IParamMap2* GetMap(int index);
  // The first page from `from` on (or every page for -1) holding a control with that id.
  int FindPageWithControl(int id, int from = -1);

  int GetNumPanels() override;
  HWND GetPanelDlg(int index) override;
  void SetPanelOpen(int index, BOOL isOpen, BOOL ignoreFlags = TRUE) override;
  BOOL IsPanelOpen(int index) override;
  const MCHAR* GetPanelTitle(int index) override;

 private:
  struct Page {
    std::string title;
    std::unique_ptr<HWND__> wnd;
    BOOL open = TRUE;
    std::unique_ptr<IParamMap2> map;
  };
  std::vector<Page> pages_;
};

// The host's command panel.
CommandPanel& GetCommandPanel();

// User actions on control id of page (-1: the first page that has it). FALSE when there is no
// such control or it is disabled.
// A click: a check box toggles, a radio button selects its value, a map button or push button
// is pressed.
BOOL UserClick(int id, int page = -1);
// Types a value into a spinner (clamped by the parameter).
BOOL UserSetSpinner(int id, float value, int page = -1);
// Drops a map on a map button (null clears it).
BOOL UserDropMap(int id, ReferenceTarget* map, int page = -1);
