// Headless windows: what an HWND points at. Dialog pages and their controls are plain objects
// with the state a user would see (text, checked, enabled, spinner value and limits).
#pragma once
#include <cfloat>
#include <memory>
#include <string>
#include <vector>

#include "sdk/platform.h"
#include "sdk/resource.h"

struct HWND__ {
  int id = IDC_STATIC;
  ControlKind kind = ControlKind::kStatic;
  std::string text;
  bool enabled = true;
  bool checked = false;
  int x = 0, y = 0, w = 0, h = 0;
  // Spinners: value, limits, step and what it edits (EditSpinnerType).
  float value = 0.0f;
  float lo = -FLT_MAX, hi = FLT_MAX;
  float scale = 0.1f;
  int edit_type = 0;
  HWND buddy = nullptr;  // a spinner's edit field
  // Pages: the template id and the controls, in template order.
  HWND parent = nullptr;
  int dialog = 0;
  std::vector<std::unique_ptr<HWND__>> children;
};

// A new page window built from a dialog template (every control with its template state).
std::unique_ptr<HWND__> CreateDialogFromTemplate(const DialogTemplate& dlg);
