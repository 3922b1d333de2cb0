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
      {IDC_STATIC, K::Static, "Blade parameters", 25, 14, 56, 8},
      {IDC_STATIC, K::Static, "Size", 17, 28, 22, 9},
      {IDC_BLADE_SIZE, K::CustEdit, "", 64, 28, 35, 10},
      {IDC_BLADE_SIZE_SPIN, K::Spinner, "", 104, 28, 7, 10},
      {IDC_STATIC, K::Static, "Stiffness", 6, 41, 32, 9},
      {IDC_BLADE_STIFFNESS, K::CustEdit, "", 64, 41, 35, 10},
      {IDC_BLADE_STIFFNESS_SPIN, K::Spinner, "", 104, 41, 7, 10},
      {IDC_STATIC, K::Static, "Gravity", 17, 55, 22, 9},
      {IDC_BLADE_GRAVITY, K::CustEdit, "", 64, 55, 35, 10},
      {IDC_BLADE_GRAVITY_SPIN, K::Spinner, "", 104, 55, 7, 10},
      {IDC_STATIC, K::Static, "#Weldings", 6, 69, 42, 9},
      {IDC_BLADE_WELDINGS, K::CustEdit, "", 64, 68, 35, 10},
      {IDC_BLADE_WELDINGS_SPIN, K::Spinner, "", 104, 68, 7, 10},
      {IDC_STATIC, K::Static, "Weld factor", 6, 80, 42, 9},
      {IDC_BLADE_WELD_FACTOR, K::CustEdit, "", 64, 80, 35, 10},
      {IDC_BLADE_WELD_FACTOR_SPIN, K::Spinner, "", 104, 80, 7, 10},
      {IDC_STATIC, K::Static, "Thining factor", 6, 93, 45, 9},
      {IDC_BLADE_THINNING, K::CustEdit, "", 64, 92, 35, 10},
      {IDC_BLADE_THINNING_SPIN, K::Spinner, "", 104, 92, 7, 10},
  };
  t.AddDialog(std::move(d));
}
