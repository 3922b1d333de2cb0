// The plug-in's classes as other code reaches them: their class ids, and the parameter ids of the
// grass blade and the grass bundle, which the lawn's scatter sets on the objects it makes.
#pragma once
#include "sdk/classid.h"
#include "sdk/paramdesc.h"

inline constexpr Class_ID kGrassBladeClassID{0x25ff6c8e, 0x4dfb339a};
inline constexpr Class_ID kGrassBundleClassID{0x0913212e, 0x3fdd72be};
inline constexpr Class_ID kLawnClassID{0x34441789, 0x05de72e1};
inline constexpr Class_ID kLawnMowerClassID{0x172644cf, 0x02a15bb4};

// Parameter ids of the blade's block (block id 0).
enum GrassBladeParam : ParamID {
  blade_size = 0,
  blade_stiffness = 1,
  blade_gravity = 2,
  blade_weldings = 3,
  blade_weld_factor = 4,
  blade_thinning = 5,
  blade_rotation_x = 6,
  blade_rotation_z = 7,
  blade_max_length = 8,
};

// Parameter ids of the tuft's block (block id 0).
enum GrassBundleParam : ParamID {
  bundle_size = 0,
  bundle_variation = 1,
  bundle_blades = 2,
  bundle_stiffness_min = 3,
  bundle_stiffness_max = 4,
  bundle_gravity_min = 5,
  bundle_gravity_max = 6,
  bundle_weldings_min = 7,
  bundle_weldings_max = 8,
  bundle_weld_factor_min = 9,
  bundle_weld_factor_max = 10,
  bundle_thinness_min = 11,
  bundle_thinness_max = 12,
  bundle_rotation_min = 13,
  bundle_rotation_max = 14,
  bundle_max_height_on = 15,
  bundle_max_height = 16,
};
