#include "lawn/lawn_panel.h"

#include <vector>

#include "lawn/lawn.h"
#include "lawn/vector_field.h"
#include "res/resource_ids.h"
#include "sdk/bitmap.h"
#include "sdk/core.h"
#include "sdk/custcont.h"
#include "sdk/ui.h"

namespace {
// The command panel's pages of the blade and tuft rollouts (after the host's two pages and the
// global rollout).
constexpr int kBladePage = 3;
constexpr int kBundlePage = 4;
// The file dialog's result: the longest path the system hands out (Linux's PATH_MAX), so real
// paths fit; a longer one is refused by the dialog, never cut.
constexpr int kPathBuffer = 4096;

// The lawn's block reached the way the panel reaches it: block 0 of the lawn.
IParamBlock2* BlockOf(Lawn& lawn) { return lawn.GetParamBlock(0); }

// Enables "Use z-size instead of time?" when the shared field has depth slices.
void ShowZAsTime(HWND rollout, bool alsoDisable) {
  const bool slices = TheVectorField && TheVectorField->resolutionZ > 0;
  if (slices || alsoDisable) EnableWindow(GetDlgItem(rollout, IDC_LAWN_Z_AS_TIME), slices ? TRUE : FALSE);
}

// The rollout opens: the file button shows the lawn's field file or "None" (and the field is
// switched off without one).
void ShowVectorField(Lawn& lawn, HWND rollout) {
  ICustButton* button = GetICustButton(GetDlgItem(rollout, IDC_LAWN_FIELD_FILE));
  if (!button) return;  // only the global rollout has the button
  IParamBlock2* pb = BlockOf(lawn);
  Interval iv = FOREVER;
  const char* path = nullptr;
  if (pb) pb->GetValue(lawn_vector_field_file, 0, path, iv);
  if (!path || !*path) {
    EnableWindow(GetDlgItem(rollout, IDC_LAWN_Z_AS_TIME), FALSE);
    button->SetText("None");
    CheckDlgButton(rollout, IDC_LAWN_FIELD_ON, BST_UNCHECKED);
    if (pb) pb->SetValue(lawn_vector_field_on, 0, FALSE);
  } else {
    button->SetText(path);
    CheckDlgButton(rollout, IDC_LAWN_FIELD_ON, BST_CHECKED);
    ShowZAsTime(rollout, false);
  }
  ReleaseICustButton(button);
}

// Opens one rollout page and closes another of the host's command panel.
void SwapRollouts(int open, int close) {
  IObjParam* ip = Lawn::ip ? Lawn::ip : GetCOREInterface();
  IRollupWindow* rollup = ip ? ip->GetCommandPanelRollup() : nullptr;
  if (!rollup) return;
  rollup->SetPanelOpen(open, TRUE);
  rollup->SetPanelOpen(close, FALSE);
}
}  // namespace

void LawnDlgProc::PickVectorField(Lawn& lawn, HWND rollout) {
  FilterList filter;
  filter.Append("Dat Files");
  filter.Append("*.dat");
  filter.Append("All Files");
  filter.Append("*.*");
  filter.Append("");
  filter.Append("");
  std::vector<char> file(kPathBuffer, '\0');
  OPENFILENAMEA ofn;
  ofn.hwndOwner = rollout;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kPathBuffer;
  ofn.lpstrTitle = "Vectorfield data";
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  ofn.FlagsEx = OFN_EX_NOPLACESBAR;
  ofn.lpstrInitialDir = rememberedDir_.empty() ? nullptr : rememberedDir_.c_str();
  IParamBlock2* pb = BlockOf(lawn);
  if (!GetOpenFileNameA(&ofn)) {
    // Cancelled: the field is switched off and the path forgotten; the button keeps its text.
    if (pb) {
      pb->SetValue(lawn_vector_field_on, 0, FALSE);
      pb->SetValue(lawn_vector_field_file, 0, "");
    }
    return;
  }
  const std::string path = file.data();
  // Whatever the load makes of the file, the lawn records it (a file that cannot be read leaves
  // the field without data and the lawn unbent).
  if (GPUVectorField2D* field = GetOrCreateVectorField()) field->Load(path);
  if (pb) {
    pb->SetValue(lawn_vector_field_on, 0, TRUE);
    pb->SetValue(lawn_vector_field_file, 0, path.c_str());
  }
  if (ICustButton* button = GetICustButton(GetDlgItem(rollout, IDC_LAWN_FIELD_FILE))) {
    button->SetText(path.c_str());
    ReleaseICustButton(button);
  }
  ShowZAsTime(rollout, true);
  // The directory part, in a buffer as long as the path itself, so it is never cut.
  std::vector<char> dir(path.size() + 1, '\0');
  BMMSplitFilename(path.c_str(), dir.data(), nullptr, nullptr, dir.size());
  rememberedDir_ = dir.data();
}

INT_PTR LawnDlgProc::DlgProc(TimeValue, IParamMap2*, HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
  Lawn* lawn = Lawn::editing;
  if (!lawn) return FALSE;
  switch (msg) {
    case WM_INITDIALOG:
      ShowVectorField(*lawn, hWnd);
      rememberedDir_.clear();
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        // The radios of the global rollout (the other rollouts use these ids for their "Length"
        // field, which is no button and never checked).
        case IDC_LAWN_SINGLE_BLADES:
          if (IsDlgButtonChecked(hWnd, IDC_LAWN_SINGLE_BLADES)) SwapRollouts(kBladePage, kBundlePage);
          break;
        case IDC_LAWN_BUNDLES:
          if (IsDlgButtonChecked(hWnd, IDC_LAWN_BUNDLES)) SwapRollouts(kBundlePage, kBladePage);
          break;
        // Switches and map buttons whose change the automatic panel has already stored.
        case IDC_LAWN_MAX_LENGTH:
        case IDC_LAWN_USE_MAP_SIZE:
        case IDC_LAWN_HEIGHT_MAP_ON:
        case IDC_LAWN_FIELD_ON:
        case IDC_LAWN_PROB_MAP_ON:
        case IDC_LAWN_HEIGHT_MAP:
        case IDC_LAWN_PROB_MAP: lawn->meshBuilt = FALSE; break;
        case IDC_LAWN_FIELD_FILE:
          PickVectorField(*lawn, hWnd);
          lawn->meshBuilt = FALSE;
          break;
        default: break;
      }
      break;
    case CC_SPINNER_CHANGE: lawn->meshBuilt = FALSE; break;
    default: break;
  }
  return FALSE;
}

LawnDlgProc& TheLawnDlgProc() {
  static LawnDlgProc proc;
  return proc;
}
