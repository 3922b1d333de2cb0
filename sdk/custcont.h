// The host's custom controls as plug-ins reach them: spinners, push buttons and edit fields.
// Get* hands out an interface on a control window (null when the window is not of that kind);
// Release* gives it back.
#pragma once
#include "sdk/platform.h"

// What every custom control shares: its window, and whether it takes input.
class ICustControl {
 public:
  explicit ICustControl(HWND wnd) : wnd_(wnd) {}
  void Enable(BOOL enable = TRUE);
  void Disable() { Enable(FALSE); }
  BOOL IsEnabled() const;
  HWND GetHwnd() const { return wnd_; }

 protected:
  HWND wnd_;
};

// A spinner: a number with limits and a step, shown in its edit field.
class ISpinner : public ICustControl {
 public:
  using ICustControl::ICustControl;
  float GetFVal() const;
  int GetIVal() const;
  // Sets the value (clamped to the limits) and shows it in the edit field.
  void SetValue(float v, BOOL notify = FALSE);
  void SetValue(int v, BOOL notify = FALSE) { SetValue(static_cast<float>(v), notify); }
  void SetLimits(float lo, float hi, BOOL limitCurValue = TRUE);
  void SetScale(float s);
  float GetScale() const;
};

// A push button (also the map buttons).
class ICustButton : public ICustControl {
 public:
  using ICustControl::ICustControl;
  void SetText(const MCHAR* text);
  // The button's text (valid until the text changes).
  const MCHAR* GetText() const;
};

// An edit field.
class ICustEdit : public ICustControl {
 public:
  using ICustControl::ICustControl;
  void SetText(const MCHAR* text);
  const MCHAR* GetText() const;
};

ISpinner* GetISpinner(HWND wnd);
void ReleaseISpinner(ISpinner* spinner);
ICustButton* GetICustButton(HWND wnd);
void ReleaseICustButton(ICustButton* button);
ICustEdit* GetICustEdit(HWND wnd);
void ReleaseICustEdit(ICustEdit* edit);
