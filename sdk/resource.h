// Resources a plug-in carries: its string table, dialog templates and version record. A plug-in
// fills one ResourceTable and exports it as
//
//   extern "C" const ResourceTable* LibResources();
//
// The loader looks that symbol up and keeps the table in the module record, where LoadStringA and
// the panel builder find it through the module handle.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "sdk/platform.h"

// The name of the exported resource-table function.
constexpr const char* kResourceSymbol = "LibResources";

// Control kinds of dialog templates.
enum class ControlKind {
  kStatic,  // a label
  kGroupBox,
  kCustEdit,    // the host's edit field
  kSpinner,     // the host's spinner
  kCustButton,  // the host's push button (also map buttons)
  kCheckBox,
  kRadioButton,
  kPushButton,  // a system push button
};

// Control id of controls nobody addresses (labels).
constexpr int IDC_STATIC = -1;

// One control of a dialog template; rectangles in dialog units.
struct DialogItem {
  int id = IDC_STATIC;
  ControlKind kind = ControlKind::kStatic;
  const char* text = "";
  int x = 0, y = 0, w = 0, h = 0;
  bool disabled = false;  // disabled in the template
};

// A dialog template: the layout of one rollout.
struct DialogTemplate {
  int id = 0;
  int width = 0, height = 0;
  std::vector<DialogItem> items;
  // The item with that control id, or null.
  const DialogItem* Find(int control_id) const;
};

// The version record: four-part file and product versions and the text fields.
struct VersionResource {
  WORD file_version[4] = {0, 0, 0, 0};
  WORD product_version[4] = {0, 0, 0, 0};
  std::map<std::string, std::string> strings;  // "OriginalFilename", "InternalName", ...
};

// All resources of one module.
class ResourceTable {
 public:
  void AddString(int id, const char* text);
  void AddDialog(DialogTemplate dialog);
  void SetVersion(VersionResource version) { version_ = std::move(version); }

  // The text of string id, or null.
  const char* FindString(int id) const;
  const DialogTemplate* FindDialog(int id) const;
  const VersionResource& Version() const { return version_; }
  std::vector<int> DialogIds() const;

 private:
  std::map<int, std::string> strings_;
  std::map<int, DialogTemplate> dialogs_;
  VersionResource version_;
};
