// Dialog 101: the grass blade's parameter rollout (118 x 128 dialog units).
#include "plugin/plugin.h"
#include "plugin/resource_ids.h"

namespace {
void AddDialog(ResourceTable& t) {
  using K = ControlKind;
  DialogTemplate d;
  d.id = IDD_GRASS_BLADE;
  d.width = 118;
  d.height = 128;
  d.items = {
      {IDC_STATIC, K::Static, "Blade parameters", 25, 14, 56, 8},
      {IDC_STATIC, K::Static, "Size", 17, 28, 22, 9},
      {1490, K::CustEdit, "", 64, 28, 35, 10},
      {1496, K::Spinner, "", 104, 28, 7, 10},
      {IDC_STATIC, K::Static, "Stiffness", 6, 41, 32, 9},
      {1491, K::CustEdit, "", 64, 41, 35, 10},
      {1497, K::Spinner, "", 104, 41, 7, 10},
      {IDC_STATIC, K::Static, "Gravity", 17, 55, 22, 9},
      {1492, K::CustEdit, "", 64, 55, 35, 10},
      {1498, K::Spinner, "", 104, 55, 7, 10},
      {IDC_STATIC, K::Static, "#Weldings", 6, 69, 42, 9},
      {1493, K::CustEdit, "", 64, 68, 35, 10},
      {1499, K::Spinner, "", 104, 68, 7, 10},
      {IDC_STATIC, K::Static, "Weld factor", 6, 80, 42, 9},
      {1494, K::CustEdit, "", 64, 80, 35, 10},
      {1500, K::Spinner, "", 104, 80, 7, 10},
      {IDC_STATIC, K::Static, "Thining factor", 6, 93, 45, 9},
      {1495, K::CustEdit, "", 64, 92, 35, 10},
      {1501, K::Spinner, "", 104, 92, 7, 10},
  };
  t.AddDialog(std::move(d));
}

const ResourceContribution kDialog(PluginResources, AddDialog);
}  // namespace
