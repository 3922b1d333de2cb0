// The grass blade's parameter table: nine animatable floats, six of them on dialog 101.
#include "objects/grass_blade.h"
#include "res/param_defs.h"
#include "res/resource_ids.h"

namespace {
constexpr float kTwoPi = 6.2831855f;
}  // namespace

ParamBlockSpec GrassBladeBlockSpec(ClassDesc2* owner) {
  return {.id = 0,
          .int_name = "params",
          .owner = owner,
          .flags = P_AUTO_CONSTRUCT | P_AUTO_UI,
          .ref_no = 0,
          .rollouts = {{.map_id = 0, .dialog = IDD_GRASS_BLADE, .title = IDS_PARAMS}},
          .params = {
              SpinnerParam(blade_size, "size", 1.0f, 0.0f, 1000.0f, EDITTYPE_FLOAT, IDC_BLADE_SIZE, IDC_BLADE_SIZE_SPIN,
                           0.5f),
              SpinnerParam(blade_stiffness, "Stiffness", 0.0f, 0.0f, 1.0f, EDITTYPE_UNIVERSE, IDC_BLADE_STIFFNESS,
                           IDC_BLADE_STIFFNESS_SPIN, 0.01f),
              SpinnerParam(blade_gravity, "Gravity", 0.0f, 0.0f, 1.0f, EDITTYPE_UNIVERSE, IDC_BLADE_GRAVITY,
                           IDC_BLADE_GRAVITY_SPIN, 0.01f),
              SpinnerParam(blade_weldings, "#Weldings", 0.0f, 0.0f, 100.0f, EDITTYPE_UNIVERSE, IDC_BLADE_WELDINGS,
                           IDC_BLADE_WELDINGS_SPIN, 1.0f),
              SpinnerParam(blade_weld_factor, "Weld factor", 0.0f, -2.0f, 2.0f, EDITTYPE_UNIVERSE,
                           IDC_BLADE_WELD_FACTOR, IDC_BLADE_WELD_FACTOR_SPIN, 0.01f),
              SpinnerParam(blade_thinning, "Thinning factor", 1.25f, 0.5f, 1.65f, EDITTYPE_UNIVERSE, IDC_BLADE_THINNING,
                           IDC_BLADE_THINNING_SPIN, 0.01f),
              HiddenFloat(blade_rotation_x, "X rotation", 0.0f, 0.0f, kTwoPi),
              HiddenFloat(blade_rotation_z, "Z rotation", 0.0f, 0.0f, kTwoPi),
              HiddenFloat(blade_max_length, "Max length", 0.0f, 0.0f, 1000.0f),
          }};
}
