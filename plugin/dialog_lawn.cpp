// Dialogs 104 ("Global parameters"), 105 ("Blade parameters") and 103 ("Bundles parameters"): the
// lawn's three rollouts, with every control id and label its parameter block binds.
#include "plugin/plugin.h"
#include "plugin/resource_ids.h"

namespace {
constexpr int kWidth = 108;  // rollout width in dialog units
constexpr int kRow = 14;     // height of one row of controls

DialogItem Label(const char* text, int x, int y, int w = 50) {
  return {.id = IDC_STATIC, .kind = ControlKind::Static, .text = text, .x = x, .y = y + 2, .w = w, .h = 8};
}

DialogItem Check(int id, const char* text, int x, int y, int w = 96) {
  return {.id = id, .kind = ControlKind::CheckBox, .text = text, .x = x, .y = y, .w = w, .h = 10};
}

// A label, then an edit field and its spinner on the right half of the row.
void Spinner(DialogTemplate& d, const char* label, int edit, int spin, int y, int x = 6) {
  d.items.push_back(Label(label, x, y, 52 - x));
  d.items.push_back({.id = edit, .kind = ControlKind::CustEdit, .text = "", .x = 58, .y = y, .w = 36, .h = 10});
  d.items.push_back({.id = spin, .kind = ControlKind::Spinner, .text = "", .x = 95, .y = y, .w = 7, .h = 10});
}

DialogTemplate GlobalParameters() {
  DialogTemplate d{.id = IDD_LAWN_GLOBAL, .width = kWidth, .height = 0, .items = {}};
  int y = 4;
  d.items.push_back(Check(1033, "To single mesh?", 6, y));
  y += kRow;
  d.items.push_back({.id = 1002, .kind = ControlKind::RadioButton, .text = "Single blades", .x = 6, .y = y, .w = 96, .h = 10});
  y += 11;
  d.items.push_back({.id = 1003, .kind = ControlKind::RadioButton, .text = "Bundles", .x = 6, .y = y, .w = 96, .h = 10});
  y += kRow + 2;
  d.items.push_back(Check(1083, "Heightfield:", 6, y, 50));
  d.items.push_back({.id = 3070, .kind = ControlKind::CustButton, .text = "None", .x = 58, .y = y, .w = 44, .h = 12});
  y += kRow;
  d.items.push_back(Check(1034, "Use map dimensions?", 6, y));
  y += kRow;
  Spinner(d, "Magnitude", 1011, 1012, y);
  y += kRow + 2;
  d.items.push_back(Check(1084, "Vectorfield:", 6, y, 50));
  d.items.push_back({.id = 3071, .kind = ControlKind::CustButton, .text = "None", .x = 58, .y = y, .w = 44, .h = 12});
  y += kRow;
  d.items.push_back(Check(1035, "Use z-size instead of time?", 6, y));
  y += kRow + 2;
  d.items.push_back(Check(1085, "Probabilitymap:", 6, y, 50));
  d.items.push_back({.id = 3072, .kind = ControlKind::CustButton, .text = "None", .x = 58, .y = y, .w = 44, .h = 12});
  d.height = y + kRow + 4;
  return d;
}

// The blade and bundle rollouts share their control ids; countX/countY label the grid counts.
DialogTemplate ElementParameters(int id, const char* countX, const char* countY, bool angles, bool bundles) {
  DialogTemplate d{.id = id, .width = kWidth, .height = 0, .items = {}};
  int y = 4;
  Spinner(d, "Length", 1002, 1003, y);
  Spinner(d, "Width", 1004, 1005, y += kRow);
  Spinner(d, countX, 1006, 1007, y += kRow);
  Spinner(d, countY, 1008, 1009, y += kRow);
  d.items.push_back(Check(1010, "Position Variance?", 6, y += kRow + 2));
  Spinner(d, "X-Dir", 1011, 1012, y += kRow, 14);
  Spinner(d, "Y-Dir", 1013, 1014, y += kRow, 14);
  if (angles) {
    d.items.push_back(Check(1016, "Rotation Variance?", 6, y += kRow + 2));
    Spinner(d, "X-Angle", 1015, 1017, y += kRow, 14);
    Spinner(d, "Z-Angle", 1018, 1019, y += kRow, 14);
  }
  Spinner(d, "Blade-Length", 1020, 1021, y += kRow + 2);
  Spinner(d, "Variance", 1022, 1023, y += kRow, 14);
  d.items.push_back(Check(1025, "Max blade length?", 6, y += kRow));
  Spinner(d, "Gravity", 1024, 1026, y += kRow + 2);
  Spinner(d, "Variance", 1027, 1028, y += kRow, 14);
  d.items.push_back(Label("Blade thinness:", 6, y += kRow + 2, 96));
  Spinner(d, "Min", 1029, 1030, y += kRow, 14);
  Spinner(d, "Max", 1031, 1032, y += kRow, 14);
  if (bundles) {
    Spinner(d, "# Blades", 1033, 1034, y += kRow + 2);
    Spinner(d, "Variance", 1037, 1038, y += kRow, 14);
  }
  d.height = y + kRow + 4;
  return d;
}

void AddDialogs(ResourceTable& table) {
  table.AddDialog(GlobalParameters());
  table.AddDialog(ElementParameters(IDD_LAWN_BLADES, "# Blades X", "# Blades Y", true, false));
  table.AddDialog(ElementParameters(IDD_LAWN_BUNDLES, "# Bundles X", "# Bundles Y", false, true));
}

const ResourceContribution kDialogs(PluginResources, AddDialogs);
}  // namespace
