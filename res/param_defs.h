// Parameter definitions the classes' tables share: animatable floats named "Spin", on a spinner of
// their rollout or on no control at all.
#pragma once
#include "res/resource_ids.h"
#include "sdk/paramdesc.h"

// A spinner-bound animatable float of rollout `map`: edit field `edit`, spinner `spin`, `scale` per
// click.
inline ParamDef SpinnerParam(ParamID id, const char* name, float def, float lo, float hi, int editType, int edit,
                             int spin, float scale, MapID map = 0) {
  return {.id = id,
          .int_name = name,
          .type = TYPE_FLOAT,
          .flags = P_ANIMATABLE,
          .local_name = IDS_SPIN,
          .def = {.f = def},
          .range = {lo, hi},
          .ui = {.type = TYPE_SPINNER, .edit_type = editType, .ids = {edit, spin}, .scale = scale},
          .map_id = map};
}

// An animatable float with no control, reached by animation and scripting only.
inline ParamDef HiddenFloat(ParamID id, const char* name, float def, float lo, float hi) {
  ParamDef d = SpinnerParam(id, name, def, lo, hi, 0, 0, 0, 0.0f);
  d.ui = {};
  return d;
}
