// What the grass objects' parameter tables share: animatable floats named "Spin" and bound to a
// spinner.
#pragma once
#include "res/resource_ids.h"
#include "sdk/paramdesc.h"

// A spinner-bound animatable float: edit field `edit`, spinner `spin`, `scale` per click.
inline ParamDef SpinnerParam(ParamID id, const char* name, float def, float lo, float hi, int edit_type, int edit,
                             int spin, float scale) {
  return {.id = id,
          .int_name = name,
          .type = TYPE_FLOAT,
          .flags = P_ANIMATABLE,
          .local_name = IDS_SPIN,
          .def = {.f = def},
          .range = {lo, hi},
          .ui = {.type = TYPE_SPINNER, .edit_type = edit_type, .ids = {edit, spin}, .scale = scale}};
}
