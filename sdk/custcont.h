// The host's custom controls as plug-ins reach them: spinners, push buttons and edit fields.
// Get* hands out an interface on a control window (null when the window is not of that kind);
// Release* gives it back.
#pragma once
#include "sdk/platform.h"

// A spinner: a number with limits and a step, shown in its edit field.
class ISpinner {
 public:
  explicit ISpinner(HWND wnd) : wnd_(wnd) {}
  float GetFVal() const;
  int GetIVal() const;
  // Sets the value (clamped to the limits) and shows it in the edit field.
  void SetValue(float v, BOOL notify = FALSE);
  void SetValue(int v, BOOL notify = FALSE) { SetValue(static_cast<float>(v), notify); }
  void SetLimits(float lo, float hi, BOOL limitCurValue = TRUE);
  void SetScale(float s);
  float GetScale() const;
  void Enable(BOOL enable = TRUE);
  void Disable() { Enable(FALSE); }
  BOOL IsEnabled() const;
  HWND GetHwnd() const { return wnd_; }

 private:
  HWND wnd_;
};

// A push button (also the map buttons).
class ICustButton {
 public:
  explicit ICustButton(HWND wnd) : wnd_(wnd) {}
  void SetText(const MCHAR* text);
  // The button's text (valid until the text changes).
  const MCHAR* GetText() const;
  void Enable(BOOL enable = TRUE);
  void Disable() { Enable(FALSE); }
  BOOL IsEnabled() const;
  HWND GetHwnd() const { return wnd_; }

 private:
  HWND wnd_;
};

// An edit field.
class ICustEdit {
 public:
  explicit ICustEdit(HWND wnd) : wnd_(wnd) {}
  void SetText(const MCHAR* text);
  const MCHAR* GetText() const;
  void Enable(BOOL enable = TRUE);
  BOOL IsEnabled() const;

 private:
  HWND wnd_;
};

ISpinner* GetISpinner(HWND wnd);
void ReleaseISpinner(ISpinner* spinner);
ICustButton* GetICustButton(HWND wnd);
void ReleaseICustButton(ICustButton* button);
ICustEdit* GetICustEdit(HWND wnd);
void ReleaseICustEdit(ICustEdit* edit);
