// Dialog 107: the lawn mower's parameter rollout (118 x 117 dialog units).
#include "res/resource_ids.h"
#include "res/resource_parts.h"

void AddLawnMowerDialog(ResourceTable& table) {
  using K = ControlKind;
  DialogTemplate dlg{.id = IDD_LAWN_MOWER, .width = 118, .height = 117, .items = {}};
  dlg.items = {
      {IDC_STATIC, K::kGroupBox, "Shape", 4, 3, 110, 27},
      {IDC_MOWER_RECT, K::kRadioButton, "Rectangular", 10, 14, 52, 10},
      {IDC_MOWER_CIRCLE, K::kRadioButton, "Circular", 66, 14, 44, 10},
      {IDC_STATIC, K::kStatic, "Width", 8, 37, 40, 8},
      {IDC_MOWER_WIDTH, K::kCustEdit, "", 52, 35, 44, 10},
      {IDC_MOWER_WIDTH_SPIN, K::kSpinner, "", 97, 35, 7, 10},
      {IDC_STATIC, K::kStatic, "Height", 8, 51, 40, 8},
      {IDC_MOWER_HEIGHT, K::kCustEdit, "", 52, 49, 44, 10},
      {IDC_MOWER_HEIGHT_SPIN, K::kSpinner, "", 97, 49, 7, 10},
      {IDC_STATIC, K::kStatic, "Radius", 8, 65, 40, 8},
      {IDC_MOWER_RADIUS, K::kCustEdit, "", 52, 63, 44, 10},
      {IDC_MOWER_RADIUS_SPIN, K::kSpinner, "", 97, 63, 7, 10},
      {IDC_STATIC, K::kStatic, "Cut-length", 8, 79, 40, 8},
      {IDC_MOWER_LENGTH, K::kCustEdit, "", 52, 77, 44, 10},
      {IDC_MOWER_LENGTH_SPIN, K::kSpinner, "", 97, 77, 7, 10},
      {IDC_MOWER_INVERT, K::kCheckBox, "Invert selection", 8, 92, 100, 10},
      {IDC_MOWER_COMBINE, K::kCheckBox, "Combine times together", 8, 104, 100, 10},
  };
  table.AddDialog(std::move(dlg));
}
