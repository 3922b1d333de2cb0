// Ids of the library's string table and dialog templates, shared by every class of the plug-in.
#pragma once

// String table.
constexpr int IDS_LIBDESCRIPTION = 1;
constexpr int IDS_CATEGORY = 2;
constexpr int IDS_GRASS_BLADE = 3;
constexpr int IDS_PARAMS = 4;
constexpr int IDS_SPIN = 5;
constexpr int IDS_GRASS_BUNDLE = 6;
constexpr int IDS_MAX_HEIGHT = 7;
constexpr int IDS_LAWN = 8;
constexpr int IDS_JITTER = 9;
constexpr int IDS_ANGLE_VARIANCE = 10;
constexpr int IDS_MAX_BLADE_LENGTH = 11;
constexpr int IDS_GLOBAL_PARAMS = 12;
constexpr int IDS_BLADE_PARAMS = 13;
constexpr int IDS_TO_SINGLE_MESH = 14;
constexpr int IDS_CREATION_TYPE = 15;
constexpr int IDS_BUNDLES_PARAMS = 16;
constexpr int IDS_HEIGHTMAP = 27;
constexpr int IDS_HEIGHTMAP_ENABLE = 28;
constexpr int IDS_USE_HEIGHTMAP_DIMENSION = 29;
constexpr int IDS_VECTORFIELD_ENABLE = 30;
constexpr int IDS_Z_AS_TIME = 31;
constexpr int IDS_PROBMAP_ENABLE = 32;
constexpr int IDS_VECTORFIELD_FILENAME = 33;
constexpr int IDS_PROBABILITYMAP = 107;
constexpr int IDS_LAWN_MOWER = 108;
constexpr int IDS_MOWER_PARAMS = 109;
constexpr int IDS_SHAPE_TYPE = 110;

// Dialog templates.
constexpr int IDD_GRASS_BLADE = 101;
constexpr int IDD_GRASS_BUNDLE = 102;
constexpr int IDD_LAWN_BUNDLES = 103;
constexpr int IDD_LAWN_GLOBAL = 104;
constexpr int IDD_LAWN_BLADES = 105;
constexpr int IDD_LAWN_MOWER = 107;
