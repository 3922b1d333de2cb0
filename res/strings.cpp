// The library's string table.
#include "res/resource_ids.h"
#include "res/resource_parts.h"

void AddStrings(ResourceTable& t) {
  static const struct {
    int id;
    const char* text;
  } kStrings[] = {
      {IDS_LIBDESCRIPTION, "Gramora by Tolvane"},
      {IDS_CATEGORY, "Gramora"},
      {IDS_GRASS_BLADE, "Grass blade"},
      {IDS_PARAMS, "Parameters"},
      {IDS_SPIN, "Spin"},
      {IDS_GRASS_BUNDLE, "Grass bundle"},
      {IDS_MAX_HEIGHT, "Max height"},
      {IDS_LAWN, "Lawn"},
      {IDS_JITTER, "Jitter"},
      {IDS_ANGLE_VARIANCE, "Angle Variance"},
      {IDS_MAX_BLADE_LENGTH, "Max Blade length"},
      {IDS_GLOBAL_PARAMS, "Global parameters"},
      {IDS_BLADE_PARAMS, "Blade parameters"},
      {IDS_TO_SINGLE_MESH, "To Single Mesh"},
      {IDS_CREATION_TYPE, "Creation type"},
      {IDS_BUNDLES_PARAMS, "Bundles parameters"},
      {IDS_HEIGHTMAP, "Heightmap"},
      {IDS_HEIGHTMAP_ENABLE, "Heightmap enable"},
      {IDS_USE_HEIGHTMAP_DIMENSION, "Use heightmap dimension"},
      {IDS_VECTORFIELD_ENABLE, "Vectorfield enable"},
      {IDS_Z_AS_TIME, "Use z-depth as time dimension"},
      {IDS_PROBMAP_ENABLE, "Probabilitymap enable"},
      {IDS_VECTORFIELD_FILENAME, "Vectorfield filename"},
      {IDS_PROBABILITYMAP, "Probabilitymap"},
      {IDS_LAWN_MOWER, "Lawn Mower"},
      {IDS_MOWER_PARAMS, "Lawnmower parameters"},
      {IDS_SHAPE_TYPE, "Shape type"},
  };
  for (const auto& s : kStrings) t.AddString(s.id, s.text);
}
