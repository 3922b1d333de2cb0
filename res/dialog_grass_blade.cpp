// Dialog 101: the grass blade's parameter rollout (118 x 128 dialog units).
#include "res/resource_ids.h"
#include "res/resource_parts.h"

void AddGrassBladeDialog(ResourceTable& t) {
  using K = ControlKind;
  DialogTemplate d;
  d.id = IDD_GRASS_BLADE;
  d.width = 118;
  d.height = 128;
  d.items = {
      {IDC_STATIC, K::kStatic, "Blade parameters", 25, 14, 56, 8},
      {IDC_STATIC, K::kStatic, "Size", 17, 28, 22, 9},
      {IDC_BLADE_SIZE, K::kCustEdit, "", 64, 28, 35, 10},
      {IDC_BLADE_SIZE_SPIN, K::kSpinner, "", 104, 28, 7, 10},
      {IDC_STATIC, K::kStatic, "Stiffness", 6, 41, 32, 9},
      {IDC_BLADE_STIFFNESS, K::kCustEdit, "", 64, 41, 35, 10},
      {IDC_BLADE_STIFFNESS_SPIN, K::kSpinner, "", 104, 41, 7, 10},
      {IDC_STATIC, K::kStatic, "Gravity", 17, 55, 22, 9},
      {IDC_BLADE_GRAVITY, K::kCustEdit, "", 64, 55, 35, 10},
      {IDC_BLADE_GRAVITY_SPIN, K::kSpinner, "", 104, 55, 7, 10},
      {IDC_STATIC, K::kStatic, "#Weldings", 6, 69, 42, 9},
      {IDC_BLADE_WELDINGS, K::kCustEdit, "", 64, 68, 35, 10},
      {IDC_BLADE_WELDINGS_SPIN, K::kSpinner, "", 104, 68, 7, 10},
      {IDC_STATIC, K::kStatic, "Weld factor", 6, 80, 42, 9},
      {IDC_BLADE_WELD_FACTOR, K::kCustEdit, "", 64, 80, 35, 10},
      {IDC_BLADE_WELD_FACTOR_SPIN, K::kSpinner, "", 104, 80, 7, 10},
      {IDC_STATIC, K::kStatic, "Thining factor", 6, 93, 45, 9},
      {IDC_BLADE_THINNING, K::kCustEdit, "", 64, 92, 35, 10},
      {IDC_BLADE_THINNING_SPIN, K::kSpinner, "", 104, 92, 7, 10},
  };
  t.AddDialog(std::move(d));
}
