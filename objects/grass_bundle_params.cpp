// The grass bundle's parameter table: sixteen animatable floats on spinners and the "Max height?"
// switch, all on dialog 102 with the panel procedure GrassBundleDlgProc.
#include "objects/grass_bundle.h"
#include "res/param_defs.h"
#include "res/resource_ids.h"

namespace {
// Most of the tuft's spinners show world units.
ParamDef World(ParamID id, const char* name, float def, float lo, float hi, int edit, int spin, float scale) {
  return SpinnerParam(id, name, def, lo, hi, EDITTYPE_UNIVERSE, edit, spin, scale);
}
}  // namespace

ParamBlockSpec GrassBundleBlockSpec(ClassDesc2* owner) {
  return {
      .id = 0,
      .int_name = "params",
      .owner = owner,
      .flags = P_AUTO_CONSTRUCT | P_AUTO_UI,
      .ref_no = 0,
      .rollouts = {{.map_id = 0, .dialog = IDD_GRASS_BUNDLE, .title = IDS_PARAMS, .proc = &TheGrassBundleDlgProc()}},
      .params = {
          SpinnerParam(bundle_size, "size", 1.0f, 0.0f, 1000.0f, EDITTYPE_FLOAT, IDC_BUNDLE_SIZE, IDC_BUNDLE_SIZE_SPIN,
                       0.5f),
          World(bundle_variation, "Variation", 0.5f, 0.0f, 1.0f, IDC_BUNDLE_VARIATION, IDC_BUNDLE_VARIATION_SPIN,
                0.01f),
          World(bundle_blades, "#blades", 5.0f, 1.0f, 10.0f, IDC_BUNDLE_BLADES, IDC_BUNDLE_BLADES_SPIN, 1.0f),
          World(bundle_stiffness_min, "Min stiffness", 0.0f, 0.0f, 1.0f, IDC_BUNDLE_STIFFNESS_MIN,
                IDC_BUNDLE_STIFFNESS_MIN_SPIN, 0.01f),
          World(bundle_stiffness_max, "Max stiffness", 0.05f, 0.0f, 1.0f, IDC_BUNDLE_STIFFNESS_MAX,
                IDC_BUNDLE_STIFFNESS_MAX_SPIN, 0.01f),
          World(bundle_gravity_min, "Min gravity", 0.1f, 0.0f, 1.0f, IDC_BUNDLE_GRAVITY_MIN,
                IDC_BUNDLE_GRAVITY_MIN_SPIN, 0.01f),
          World(bundle_gravity_max, "Max gravity", 0.3f, 0.0f, 1.0f, IDC_BUNDLE_GRAVITY_MAX,
                IDC_BUNDLE_GRAVITY_MAX_SPIN, 0.01f),
          World(bundle_weldings_min, "Min #weldings", 0.0f, 0.0f, 10.0f, IDC_BUNDLE_WELDINGS_MIN,
                IDC_BUNDLE_WELDINGS_MIN_SPIN, 1.0f),
          World(bundle_weldings_max, "Max #weldings", 3.0f, 0.0f, 10.0f, IDC_BUNDLE_WELDINGS_MAX,
                IDC_BUNDLE_WELDINGS_MAX_SPIN, 1.0f),
          World(bundle_weld_factor_min, "Min welding factor", 0.0f, -2.0f, 2.0f, IDC_BUNDLE_WELD_FACTOR_MIN,
                IDC_BUNDLE_WELD_FACTOR_MIN_SPIN, 0.1f),
          World(bundle_weld_factor_max, "Max welding factor", 0.2f, -2.0f, 2.0f, IDC_BUNDLE_WELD_FACTOR_MAX,
                IDC_BUNDLE_WELD_FACTOR_MAX_SPIN, 0.1f),
          World(bundle_thinness_min, "Min thiness", 1.0f, 0.5f, 1.65f, IDC_BUNDLE_THIN_MIN, IDC_BUNDLE_THIN_MIN_SPIN,
                0.01f),
          World(bundle_thinness_max, "Max thiness", 1.35f, 0.5f, 1.65f, IDC_BUNDLE_THIN_MAX, IDC_BUNDLE_THIN_MAX_SPIN,
                0.01f),
          World(bundle_rotation_min, "Min rotation", 0.0f, 0.0f, 90.0f, IDC_BUNDLE_ROTATION_MIN,
                IDC_BUNDLE_ROTATION_MIN_SPIN, 0.5f),
          World(bundle_rotation_max, "Max rotation", 0.0f, 0.0f, 90.0f, IDC_BUNDLE_ROTATION_MAX,
                IDC_BUNDLE_ROTATION_MAX_SPIN, 0.5f),
          {.id = bundle_max_height_on,
           .int_name = "Max height?",
           .type = TYPE_BOOL,
           .local_name = IDS_MAX_HEIGHT,
           .def = {.i = FALSE},
           .ui = {.type = TYPE_SINGLECHEKBOX, .ids = {IDC_BUNDLE_MAX_HEIGHT_ON}}},
          World(bundle_max_height, "Max height", 0.0f, 0.0f, 1000.0f, IDC_BUNDLE_MAX_HEIGHT, IDC_BUNDLE_MAX_HEIGHT_SPIN,
                0.5f),
      }};
}
