// Dialogs 104 ("Global parameters"), 105 ("Blade parameters") and 103 ("Bundles parameters"): the
// lawn's three rollouts, with every control id and label its parameter block binds.
#include "res/resource_ids.h"
#include "res/resource_parts.h"

namespace {
constexpr int kWidth = 108;  // rollout width in dialog units
constexpr int kRow = 14;     // height of one row of controls

DialogItem Label(const char* text, int x, int y, int w = 50) {
  return {.id = IDC_STATIC, .kind = ControlKind::kStatic, .text = text, .x = x, .y = y + 2, .w = w, .h = 8};
}

DialogItem Check(int id, const char* text, int x, int y, int w = 96) {
  return {.id = id, .kind = ControlKind::kCheckBox, .text = text, .x = x, .y = y, .w = w, .h = 10};
}

// A label, then an edit field and its spinner on the right half of the row.
void Spinner(DialogTemplate& d, const char* label, int edit, int spin, int y, int x = 6) {
  d.items.push_back(Label(label, x, y, 52 - x));
  d.items.push_back({.id = edit, .kind = ControlKind::kCustEdit, .text = "", .x = 58, .y = y, .w = 36, .h = 10});
  d.items.push_back({.id = spin, .kind = ControlKind::kSpinner, .text = "", .x = 95, .y = y, .w = 7, .h = 10});
}

// A map's check box and, beside it, the button naming the map or file: the check box is wide enough
// for its longest label, "Probabilitymap:", and the button takes the rest of the row.
constexpr int kMapCheckWidth = 64;
DialogItem MapButton(int id, int y) {
  return {.id = id, .kind = ControlKind::kCustButton, .text = "None", .x = 72, .y = y, .w = 30, .h = 12};
}

DialogTemplate GlobalParameters() {
  DialogTemplate d{.id = IDD_LAWN_GLOBAL, .width = kWidth, .height = 0, .items = {}};
  int y = 4;
  d.items.push_back(Check(IDC_LAWN_SINGLE_MESH, "To single mesh?", 6, y));
  y += kRow;
  d.items.push_back({.id = IDC_LAWN_SINGLE_BLADES,
                     .kind = ControlKind::kRadioButton,
                     .text = "Single blades",
                     .x = 6,
                     .y = y,
                     .w = 96,
                     .h = 10});
  y += 11;
  d.items.push_back(
      {.id = IDC_LAWN_BUNDLES, .kind = ControlKind::kRadioButton, .text = "Bundles", .x = 6, .y = y, .w = 96, .h = 10});
  y += kRow + 2;
  d.items.push_back(Check(IDC_LAWN_HEIGHT_MAP_ON, "Heightfield:", 6, y, kMapCheckWidth));
  d.items.push_back(MapButton(IDC_LAWN_HEIGHT_MAP, y));
  y += kRow;
  d.items.push_back(Check(IDC_LAWN_USE_MAP_SIZE, "Use map dimensions?", 6, y));
  y += kRow;
  Spinner(d, "Magnitude", IDC_LAWN_MAGNITUDE, IDC_LAWN_MAGNITUDE_SPIN, y);
  y += kRow + 2;
  d.items.push_back(Check(IDC_LAWN_FIELD_ON, "Vectorfield:", 6, y, kMapCheckWidth));
  d.items.push_back(MapButton(IDC_LAWN_FIELD_FILE, y));
  y += kRow;
  d.items.push_back(Check(IDC_LAWN_Z_AS_TIME, "Use z-size instead of time?", 6, y));
  y += kRow + 2;
  d.items.push_back(Check(IDC_LAWN_PROB_MAP_ON, "Probabilitymap:", 6, y, kMapCheckWidth));
  d.items.push_back(MapButton(IDC_LAWN_PROB_MAP, y));
  d.height = y + kRow + 4;
  return d;
}

// The blade and bundle rollouts share their control ids; countX/countY label the grid counts.
DialogTemplate ElementParameters(int id, const char* countX, const char* countY, bool angles, bool bundles) {
  DialogTemplate d{.id = id, .width = kWidth, .height = 0, .items = {}};
  int y = 4;
  Spinner(d, "Length", IDC_LAWN_LENGTH, IDC_LAWN_LENGTH_SPIN, y);
  Spinner(d, "Width", IDC_LAWN_WIDTH, IDC_LAWN_WIDTH_SPIN, y += kRow);
  Spinner(d, countX, IDC_LAWN_COUNT_X, IDC_LAWN_COUNT_X_SPIN, y += kRow);
  Spinner(d, countY, IDC_LAWN_COUNT_Y, IDC_LAWN_COUNT_Y_SPIN, y += kRow);
  d.items.push_back(Check(IDC_LAWN_JITTER, "Position Variance?", 6, y += kRow + 2));
  Spinner(d, "X-Dir", IDC_LAWN_JITTER_X, IDC_LAWN_JITTER_X_SPIN, y += kRow, 14);
  Spinner(d, "Y-Dir", IDC_LAWN_JITTER_Y, IDC_LAWN_JITTER_Y_SPIN, y += kRow, 14);
  if (angles) {
    d.items.push_back(Check(IDC_LAWN_ANGLES, "Rotation Variance?", 6, y += kRow + 2));
    Spinner(d, "X-Angle", IDC_LAWN_ANGLE_X, IDC_LAWN_ANGLE_X_SPIN, y += kRow, 14);
    Spinner(d, "Z-Angle", IDC_LAWN_ANGLE_Z, IDC_LAWN_ANGLE_Z_SPIN, y += kRow, 14);
  }
  Spinner(d, "Blade-Length", IDC_LAWN_BLADE_LENGTH, IDC_LAWN_BLADE_LENGTH_SPIN, y += kRow + 2);
  Spinner(d, "Variance", IDC_LAWN_LENGTH_VAR, IDC_LAWN_LENGTH_VAR_SPIN, y += kRow, 14);
  d.items.push_back(Check(IDC_LAWN_MAX_LENGTH, "Max blade length?", 6, y += kRow));
  Spinner(d, "Gravity", IDC_LAWN_GRAVITY, IDC_LAWN_GRAVITY_SPIN, y += kRow + 2);
  Spinner(d, "Variance", IDC_LAWN_GRAVITY_VAR, IDC_LAWN_GRAVITY_VAR_SPIN, y += kRow, 14);
  d.items.push_back(Label("Blade thinness:", 6, y += kRow + 2, 96));
  Spinner(d, "Min", IDC_LAWN_THIN_MIN, IDC_LAWN_THIN_MIN_SPIN, y += kRow, 14);
  Spinner(d, "Max", IDC_LAWN_THIN_MAX, IDC_LAWN_THIN_MAX_SPIN, y += kRow, 14);
  if (bundles) {
    Spinner(d, "# Blades", IDC_LAWN_TUFT_BLADES, IDC_LAWN_TUFT_BLADES_SPIN, y += kRow + 2);
    Spinner(d, "Variance", IDC_LAWN_TUFT_BLADES_VAR, IDC_LAWN_TUFT_BLADES_VAR_SPIN, y += kRow, 14);
  }
  d.height = y + kRow + 4;
  return d;
}

}  // namespace

void AddLawnDialogs(ResourceTable& table) {
  table.AddDialog(GlobalParameters());
  table.AddDialog(ElementParameters(IDD_LAWN_BLADES, "# Blades X", "# Blades Y", true, false));
  table.AddDialog(ElementParameters(IDD_LAWN_BUNDLES, "# Bundles X", "# Bundles Y", false, true));
}
