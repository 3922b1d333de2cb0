// The mower's parameter table, the user procedure of its panel (dialog 107), and the class-wide
// state every mower shares.
#include "mower/lawn_mower.h"
#include "mower/mower_state.h"
#include "res/class_descs.h"
#include "res/resource_ids.h"
#include "sdk/custcont.h"
#include "sdk/ui.h"

namespace {

LawnMowerDlgProc g_dlgProc;
GenSubObjType g_subObjType("", "SubObjectIcons", 18);

// Enables or disables the spinner with control id `id` on the panel; the edit fields stay as
// they are.
void EnableSpinner(HWND panel, int id, BOOL enable) {
  ISpinner* spin = GetISpinner(GetDlgItem(panel, id));
  if (spin == nullptr) return;
  spin->Enable(enable);
  ReleaseISpinner(spin);
}

void ShowRectangleSpinners(HWND panel) {
  EnableSpinner(panel, IDC_MOWER_RADIUS_SPIN, FALSE);
  EnableSpinner(panel, IDC_MOWER_WIDTH_SPIN, TRUE);
  EnableSpinner(panel, IDC_MOWER_HEIGHT_SPIN, TRUE);
}

void ShowCircleSpinners(HWND panel) {
  EnableSpinner(panel, IDC_MOWER_RADIUS_SPIN, TRUE);
  EnableSpinner(panel, IDC_MOWER_WIDTH_SPIN, FALSE);
  EnableSpinner(panel, IDC_MOWER_HEIGHT_SPIN, FALSE);
}

ParamDef SizeParam(ParamID id, const char* name, int edit, int spin) {
  return {.id = id,
          .int_name = name,
          .type = TYPE_FLOAT,
          .flags = P_ANIMATABLE | P_RESET_DEFAULT,
          .def = {.f = 0.0f},
          .range = {0.0f, 999999.0f},
          .ui = {.type = TYPE_SPINNER, .edit_type = EDITTYPE_FLOAT, .ids = {edit, spin}, .scale = 0.1f}};
}

}  // namespace

MowerEditState& EditState() {
  static MowerEditState state;
  return state;
}

ClassDesc2* MowerClassDesc() { return FindClassDesc(kLawnMowerClassID); }

GenSubObjType& MowerSubObjType() { return g_subObjType; }

ParamBlockSpec LawnMowerBlockSpec(ClassDesc2* owner) {
  return {
      .id = 0,
      .int_name = "Lawnmower Parameters",
      .local_name = 0,
      .owner = owner,
      .flags = P_AUTO_CONSTRUCT | P_AUTO_UI,
      .ref_no = 0,
      .rollouts =
          {{.map_id = 0, .dialog = IDD_LAWN_MOWER, .title = IDS_MOWER_PARAMS, .rolled_up = FALSE, .proc = &g_dlgProc}},
      .params = {
          {.id = mower_shape,
           .int_name = "shape",
           .type = TYPE_INT,
           .flags = P_RESET_DEFAULT,
           .local_name = IDS_SHAPE_TYPE,
           .def = {.i = 0},
           .range = {0.0f, 1.0f},
           .ui = {.type = TYPE_RADIO, .ids = {IDC_MOWER_RECT, IDC_MOWER_CIRCLE}}},
          SizeParam(mower_width, "Width", IDC_MOWER_WIDTH, IDC_MOWER_WIDTH_SPIN),
          SizeParam(mower_height, "Height", IDC_MOWER_HEIGHT, IDC_MOWER_HEIGHT_SPIN),
          SizeParam(mower_radius, "Radius", IDC_MOWER_RADIUS, IDC_MOWER_RADIUS_SPIN),
          {.id = mower_length,
           .int_name = "Length",
           .type = TYPE_FLOAT,
           .flags = P_ANIMATABLE | P_RESET_DEFAULT,
           .def = {.f = 0.5f},
           .range = {0.0f, 1.0f},
           .ui = {.type = TYPE_SPINNER,
                  .edit_type = EDITTYPE_FLOAT,
                  .ids = {IDC_MOWER_LENGTH, IDC_MOWER_LENGTH_SPIN},
                  .scale = 0.001f}},
          {.id = mower_combine,
           .int_name = "Combine over time",
           .type = TYPE_BOOL,
           .def = {.i = FALSE},
           .range = {0.0f, 1.0f},
           .ui = {.type = TYPE_SINGLECHEKBOX, .ids = {IDC_MOWER_COMBINE}}},
          {.id = mower_invert,
           .int_name = "Inverse selection",
           .type = TYPE_BOOL,
           .def = {.i = FALSE},
           .range = {0.0f, 1.0f},
           .ui = {.type = TYPE_SINGLECHEKBOX, .ids = {IDC_MOWER_INVERT}}},
      }};
}

INT_PTR LawnMowerDlgProc::DlgProc(TimeValue, IParamMap2*, HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_PAINT:
      // Reopening the panel restores the enabled state on the first paint.
      if (IsDlgButtonChecked(hWnd, IDC_MOWER_RECT)) EnableSpinner(hWnd, IDC_MOWER_RADIUS_SPIN, FALSE);
      if (IsDlgButtonChecked(hWnd, IDC_MOWER_CIRCLE)) {
        EnableSpinner(hWnd, IDC_MOWER_WIDTH_SPIN, FALSE);
        EnableSpinner(hWnd, IDC_MOWER_HEIGHT_SPIN, FALSE);
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_MOWER_RECT) ShowRectangleSpinners(hWnd);
      if (LOWORD(wParam) == IDC_MOWER_CIRCLE) ShowCircleSpinners(hWnd);
      break;
    default: break;
  }
  // The automatic panel handles every message as well.
  return FALSE;
}
