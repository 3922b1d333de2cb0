// Dialog 102: the grass bundle's parameter rollout (118 x 179 dialog units). The "Max height" field
// and spinner start disabled; the panel procedure enables them with the check box.
#include "res/resource_ids.h"
#include "res/resource_parts.h"

namespace {
// An edit field and its spinner on one row.
void Pair(DialogTemplate& d, int edit, int spin, int ex, int ew, int sx, int y) {
  d.items.push_back({edit, ControlKind::kCustEdit, "", ex, y, ew, 10});
  d.items.push_back({spin, ControlKind::kSpinner, "", sx, y, 7, 10});
}
}  // namespace

void AddGrassBundleDialog(ResourceTable& t) {
  using K = ControlKind;
  DialogTemplate d;
  d.id = IDD_GRASS_BUNDLE;
  d.width = 118;
  d.height = 179;
  d.items.push_back({IDC_STATIC, K::kStatic, "Grass bundle parameters", 13, 7, 79, 8});
  d.items.push_back({IDC_STATIC, K::kStatic, "Size", 2, 17, 22, 9});
  Pair(d, IDC_BUNDLE_SIZE, IDC_BUNDLE_SIZE_SPIN, 52, 35, 92, 18);
  d.items.push_back({IDC_STATIC, K::kStatic, "Size variation", 2, 30, 42, 9});
  Pair(d, IDC_BUNDLE_VARIATION, IDC_BUNDLE_VARIATION_SPIN, 63, 24, 92, 30);
  d.items.push_back({IDC_STATIC, K::kStatic, "# grass blades", 2, 42, 46, 9});
  Pair(d, IDC_BUNDLE_BLADES, IDC_BUNDLE_BLADES_SPIN, 63, 24, 92, 41);
  d.items.push_back({IDC_STATIC, K::kStatic, "min stiff", 2, 55, 28, 9});
  Pair(d, IDC_BUNDLE_STIFFNESS_MIN, IDC_BUNDLE_STIFFNESS_MIN_SPIN, 32, 15, 49, 55);
  d.items.push_back({IDC_STATIC, K::kStatic, "max stiff", 58, 55, 28, 9});
  Pair(d, IDC_BUNDLE_STIFFNESS_MAX, IDC_BUNDLE_STIFFNESS_MAX_SPIN, 85, 15, 103, 55);
  const struct {
    const char* label;
    int labelY, labelW, edit, spin, y;
  } rows[] = {{"min gravity", 68, 35, IDC_BUNDLE_GRAVITY_MIN, IDC_BUNDLE_GRAVITY_MIN_SPIN, 68},
              {"max gravity", 80, 35, IDC_BUNDLE_GRAVITY_MAX, IDC_BUNDLE_GRAVITY_MAX_SPIN, 80},
              {"min #Weldings", 92, 54, IDC_BUNDLE_WELDINGS_MIN, IDC_BUNDLE_WELDINGS_MIN_SPIN, 91},
              {"max #Weldings", 103, 54, IDC_BUNDLE_WELDINGS_MAX, IDC_BUNDLE_WELDINGS_MAX_SPIN, 102},
              {"min weld factor", 114, 51, IDC_BUNDLE_WELD_FACTOR_MIN, IDC_BUNDLE_WELD_FACTOR_MIN_SPIN, 113},
              {"max weld factor", 126, 51, IDC_BUNDLE_WELD_FACTOR_MAX, IDC_BUNDLE_WELD_FACTOR_MAX_SPIN, 125}};
  for (const auto& r : rows) {
    d.items.push_back({IDC_STATIC, K::kStatic, r.label, 2, r.labelY, r.labelW, 9});
    Pair(d, r.edit, r.spin, 59, 24, 88, r.y);
  }
  d.items.push_back({IDC_STATIC, K::kStatic, "min thin", 2, 137, 31, 9});
  Pair(d, IDC_BUNDLE_THIN_MIN, IDC_BUNDLE_THIN_MIN_SPIN, 27, 15, 45, 137);
  d.items.push_back({IDC_STATIC, K::kStatic, "max thin", 59, 137, 31, 9});
  Pair(d, IDC_BUNDLE_THIN_MAX, IDC_BUNDLE_THIN_MAX_SPIN, 85, 15, 103, 137);
  d.items.push_back({IDC_STATIC, K::kStatic, "Rotation range", 2, 153, 50, 9});
  Pair(d, IDC_BUNDLE_ROTATION_MIN, IDC_BUNDLE_ROTATION_MIN_SPIN, 51, 15, 69, 153);
  Pair(d, IDC_BUNDLE_ROTATION_MAX, IDC_BUNDLE_ROTATION_MAX_SPIN, 85, 15, 103, 153);
  d.items.push_back({IDC_BUNDLE_MAX_HEIGHT_ON, K::kCheckBox, "Max height?", 2, 165, 53, 12});
  Pair(d, IDC_BUNDLE_MAX_HEIGHT, IDC_BUNDLE_MAX_HEIGHT_SPIN, 63, 35, 103, 167);
  d.items[d.items.size() - 2].disabled = true;
  d.items.back().disabled = true;
  t.AddDialog(std::move(d));
}
