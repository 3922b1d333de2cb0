#include "objects/grass_bundle.h"

#include <cmath>

#include "objects/grass_create.h"
#include "res/plugin_resources.h"
#include "res/resource_ids.h"
#include "sdk/crt.h"
#include "sdk/ui.h"

IObjParam* GrassBundle::ip = nullptr;

namespace {
constexpr float kPi = 3.1415927f;

// Enables the "Max height" field and spinner as the box says.
void ShowMaxHeight(HWND page) {
  const BOOL on = IsDlgButtonChecked(page, IDC_BUNDLE_MAX_HEIGHT_ON) == BST_CHECKED;
  EnableWindow(GetDlgItem(page, IDC_BUNDLE_MAX_HEIGHT), on);
  EnableWindow(GetDlgItem(page, IDC_BUNDLE_MAX_HEIGHT_SPIN), on);
}
}  // namespace

GrassBundle::GrassBundle() {
  if (ClassDesc2* desc = FindClassDesc(kGrassBundleClassID)) desc->MakeAutoParamBlocks(this);
  for (float& r : bladeRandoms) r = static_cast<float>(crt::rand() / 32767.0);
}

GrassBundle::~GrassBundle() = default;

void GrassBundle::GetClassName(MSTR& s) { s = GetResourceString(IDS_GRASS_BUNDLE); }

CreateMouseCallBack* GrassBundle::GetCreateMouseCallBack() {
  GrassBundleCreateCallBack& cb = TheGrassBundleCreateCallBack();
  cb.SetObj(this);
  return &cb;
}

const MCHAR* GrassBundle::GetObjectName() { return GetResourceString(IDS_GRASS_BUNDLE); }

void GrassBundle::BuildMesh(TimeValue t) {
  if (!pblock) return;
  const float S = pblock->GetFloat(bundle_size, t);
  TuftRanges r;
  r.size = S;
  r.sizeVariance = S * pblock->GetFloat(bundle_variation, t);
  r.stiffnessMin = pblock->GetFloat(bundle_stiffness_min, t);
  r.stiffnessMax = pblock->GetFloat(bundle_stiffness_max, t);
  r.gravityMin = pblock->GetFloat(bundle_gravity_min, t);
  r.gravityMax = pblock->GetFloat(bundle_gravity_max, t);
  r.weldFactorMin = pblock->GetFloat(bundle_weld_factor_min, t);
  r.weldFactorMax = pblock->GetFloat(bundle_weld_factor_max, t);
  r.weldingsMin = static_cast<int>(std::trunc(pblock->GetFloat(bundle_weldings_min, t)));
  r.weldingsMax = static_cast<int>(std::trunc(pblock->GetFloat(bundle_weldings_max, t)));
  const int blades = static_cast<int>(std::trunc(pblock->GetFloat(bundle_blades, t)));
  r.rotationXMin = pblock->GetFloat(bundle_rotation_min, t) * kPi / 180.0f;
  r.rotationXMax = pblock->GetFloat(bundle_rotation_max, t) * kPi / 180.0f;
  const float H = pblock->GetFloat(bundle_max_height, t);
  Interval forever = FOREVER;
  int limit = FALSE;
  pblock->GetValue(bundle_max_height_on, t, limit, forever);
  r.maxLength = limit ? H : 0.0f;
  mesh = BuildTuftMesh(r, bladeRandoms, kTuftDraws, blades);
  mesh.InvalidateGeomCache();
  mesh.buildNormals();
  mesh.buildRenderNormals();
}

INT_PTR GrassBundleDlgProc::DlgProc(TimeValue, IParamMap2*, HWND page, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG || (msg == WM_COMMAND && LOWORD(wParam) == IDC_BUNDLE_MAX_HEIGHT_ON)) ShowMaxHeight(page);
  return FALSE;
}

GrassBundleDlgProc& TheGrassBundleDlgProc() {
  static GrassBundleDlgProc proc;
  return proc;
}
