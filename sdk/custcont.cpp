#include "sdk/custcont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sdk/window.h"

namespace {
// The text a spinner's edit field shows for v.
std::string Format(float v, int edit_type) {
  char buf[64];
  if (edit_type == 2 || edit_type == 5)  // EDITTYPE_INT, EDITTYPE_POS_INT
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(std::lround(v)));
  else std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
  return buf;
}
}  // namespace

float ISpinner::GetFVal() const { return wnd_->value; }
int ISpinner::GetIVal() const { return static_cast<int>(std::lround(wnd_->value)); }

void ISpinner::SetValue(float v, BOOL /*notify*/) {
  if (!std::isfinite(v)) return;
  wnd_->value = std::clamp(v, wnd_->lo, wnd_->hi);
  if (wnd_->buddy) wnd_->buddy->text = Format(wnd_->value, wnd_->edit_type);
}

void ISpinner::SetLimits(float lo, float hi, BOOL limitCurValue) {
  wnd_->lo = std::min(lo, hi);
  wnd_->hi = std::max(lo, hi);
  if (limitCurValue) SetValue(wnd_->value);
}

void ISpinner::SetScale(float s) { wnd_->scale = s; }
float ISpinner::GetScale() const { return wnd_->scale; }

void ICustControl::Enable(BOOL enable) { wnd_->enabled = enable != FALSE; }
BOOL ICustControl::IsEnabled() const { return wnd_->enabled; }

void ICustButton::SetText(const MCHAR* text) { wnd_->text = text ? text : ""; }
const MCHAR* ICustButton::GetText() const { return wnd_->text.c_str(); }

void ICustEdit::SetText(const MCHAR* text) { wnd_->text = text ? text : ""; }
const MCHAR* ICustEdit::GetText() const { return wnd_->text.c_str(); }

ISpinner* GetISpinner(HWND wnd) { return wnd && wnd->kind == ControlKind::kSpinner ? new ISpinner(wnd) : nullptr; }
void ReleaseISpinner(ISpinner* spinner) { delete spinner; }

ICustButton* GetICustButton(HWND wnd) {
  return wnd && wnd->kind == ControlKind::kCustButton ? new ICustButton(wnd) : nullptr;
}
void ReleaseICustButton(ICustButton* button) { delete button; }

ICustEdit* GetICustEdit(HWND wnd) { return wnd && wnd->kind == ControlKind::kCustEdit ? new ICustEdit(wnd) : nullptr; }
void ReleaseICustEdit(ICustEdit* edit) { delete edit; }
