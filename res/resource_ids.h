// Ids of the plug-in's resources, shared by the resource files that define them and the classes
// that use them: the string table, the dialog templates and the controls of each dialog.
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

// Controls of the grass blade's dialog: an edit field and its spinner per parameter.
constexpr int IDC_BLADE_SIZE = 1490, IDC_BLADE_SIZE_SPIN = 1496;
constexpr int IDC_BLADE_STIFFNESS = 1491, IDC_BLADE_STIFFNESS_SPIN = 1497;
constexpr int IDC_BLADE_GRAVITY = 1492, IDC_BLADE_GRAVITY_SPIN = 1498;
constexpr int IDC_BLADE_WELDINGS = 1493, IDC_BLADE_WELDINGS_SPIN = 1499;
constexpr int IDC_BLADE_WELD_FACTOR = 1494, IDC_BLADE_WELD_FACTOR_SPIN = 1500;
constexpr int IDC_BLADE_THINNING = 1495, IDC_BLADE_THINNING_SPIN = 1501;

// Controls of the grass bundle's dialog.
constexpr int IDC_BUNDLE_SIZE = 1490, IDC_BUNDLE_SIZE_SPIN = 1496;
constexpr int IDC_BUNDLE_VARIATION = 1491, IDC_BUNDLE_VARIATION_SPIN = 1497;
constexpr int IDC_BUNDLE_BLADES = 1493, IDC_BUNDLE_BLADES_SPIN = 1498;
constexpr int IDC_BUNDLE_STIFFNESS_MIN = 1495, IDC_BUNDLE_STIFFNESS_MIN_SPIN = 1500;
constexpr int IDC_BUNDLE_STIFFNESS_MAX = 1499, IDC_BUNDLE_STIFFNESS_MAX_SPIN = 1501;
constexpr int IDC_BUNDLE_GRAVITY_MIN = 1492, IDC_BUNDLE_GRAVITY_MIN_SPIN = 1502;
constexpr int IDC_BUNDLE_GRAVITY_MAX = 1494, IDC_BUNDLE_GRAVITY_MAX_SPIN = 1503;
constexpr int IDC_BUNDLE_WELDINGS_MIN = 1504, IDC_BUNDLE_WELDINGS_MIN_SPIN = 1505;
constexpr int IDC_BUNDLE_WELDINGS_MAX = 1506, IDC_BUNDLE_WELDINGS_MAX_SPIN = 1507;
constexpr int IDC_BUNDLE_WELD_FACTOR_MIN = 1508, IDC_BUNDLE_WELD_FACTOR_MIN_SPIN = 1509;
constexpr int IDC_BUNDLE_WELD_FACTOR_MAX = 1510, IDC_BUNDLE_WELD_FACTOR_MAX_SPIN = 1511;
constexpr int IDC_BUNDLE_THIN_MAX = 1512, IDC_BUNDLE_THIN_MAX_SPIN = 1513;
constexpr int IDC_BUNDLE_THIN_MIN = 1514, IDC_BUNDLE_THIN_MIN_SPIN = 1515;
constexpr int IDC_BUNDLE_ROTATION_MIN = 1516, IDC_BUNDLE_ROTATION_MIN_SPIN = 1517;
constexpr int IDC_BUNDLE_ROTATION_MAX = 1518, IDC_BUNDLE_ROTATION_MAX_SPIN = 1519;
constexpr int IDC_BUNDLE_MAX_HEIGHT_ON = 1001;
constexpr int IDC_BUNDLE_MAX_HEIGHT = 1520, IDC_BUNDLE_MAX_HEIGHT_SPIN = 1521;

// Controls of the lawn's global rollout (dialog 104).
constexpr int IDC_LAWN_SINGLE_MESH = 1033;
constexpr int IDC_LAWN_SINGLE_BLADES = 1002;  // the build-type radios
constexpr int IDC_LAWN_BUNDLES = 1003;
constexpr int IDC_LAWN_HEIGHT_MAP_ON = 1083;
constexpr int IDC_LAWN_HEIGHT_MAP = 3070;
constexpr int IDC_LAWN_USE_MAP_SIZE = 1034;
constexpr int IDC_LAWN_MAGNITUDE = 1011, IDC_LAWN_MAGNITUDE_SPIN = 1012;
constexpr int IDC_LAWN_FIELD_ON = 1084;
constexpr int IDC_LAWN_FIELD_FILE = 3071;
constexpr int IDC_LAWN_Z_AS_TIME = 1035;
constexpr int IDC_LAWN_PROB_MAP_ON = 1085;
constexpr int IDC_LAWN_PROB_MAP = 3072;

// Controls of the lawn's blade and bundle rollouts (dialogs 105 and 103, which share them; the
// rotation controls are on the blade rollout only, the blade counts on the bundle rollout only).
constexpr int IDC_LAWN_LENGTH = 1002, IDC_LAWN_LENGTH_SPIN = 1003;
constexpr int IDC_LAWN_WIDTH = 1004, IDC_LAWN_WIDTH_SPIN = 1005;
constexpr int IDC_LAWN_COUNT_X = 1006, IDC_LAWN_COUNT_X_SPIN = 1007;
constexpr int IDC_LAWN_COUNT_Y = 1008, IDC_LAWN_COUNT_Y_SPIN = 1009;
constexpr int IDC_LAWN_JITTER = 1010;
constexpr int IDC_LAWN_JITTER_X = 1011, IDC_LAWN_JITTER_X_SPIN = 1012;
constexpr int IDC_LAWN_JITTER_Y = 1013, IDC_LAWN_JITTER_Y_SPIN = 1014;
constexpr int IDC_LAWN_ANGLES = 1016;
constexpr int IDC_LAWN_ANGLE_X = 1015, IDC_LAWN_ANGLE_X_SPIN = 1017;
constexpr int IDC_LAWN_ANGLE_Z = 1018, IDC_LAWN_ANGLE_Z_SPIN = 1019;
constexpr int IDC_LAWN_BLADE_LENGTH = 1020, IDC_LAWN_BLADE_LENGTH_SPIN = 1021;
constexpr int IDC_LAWN_LENGTH_VAR = 1022, IDC_LAWN_LENGTH_VAR_SPIN = 1023;
constexpr int IDC_LAWN_MAX_LENGTH = 1025;
constexpr int IDC_LAWN_GRAVITY = 1024, IDC_LAWN_GRAVITY_SPIN = 1026;
constexpr int IDC_LAWN_GRAVITY_VAR = 1027, IDC_LAWN_GRAVITY_VAR_SPIN = 1028;
constexpr int IDC_LAWN_THIN_MIN = 1029, IDC_LAWN_THIN_MIN_SPIN = 1030;
constexpr int IDC_LAWN_THIN_MAX = 1031, IDC_LAWN_THIN_MAX_SPIN = 1032;
constexpr int IDC_LAWN_TUFT_BLADES = 1033, IDC_LAWN_TUFT_BLADES_SPIN = 1034;
constexpr int IDC_LAWN_TUFT_BLADES_VAR = 1037, IDC_LAWN_TUFT_BLADES_VAR_SPIN = 1038;

// Controls of the lawn mower's dialog.
constexpr int IDC_MOWER_RECT = 1013;
constexpr int IDC_MOWER_CIRCLE = 1014;
constexpr int IDC_MOWER_WIDTH = 1015, IDC_MOWER_WIDTH_SPIN = 1016;
constexpr int IDC_MOWER_HEIGHT = 1006, IDC_MOWER_HEIGHT_SPIN = 1007;
constexpr int IDC_MOWER_RADIUS = 1008, IDC_MOWER_RADIUS_SPIN = 1009;
constexpr int IDC_MOWER_LENGTH = 1010, IDC_MOWER_LENGTH_SPIN = 1011;
constexpr int IDC_MOWER_COMBINE = 1017;
constexpr int IDC_MOWER_INVERT = 3013;
