// The lawn's panel procedure: what the automatic binding of its three rollouts cannot do. It swaps
// the blade and tuft rollouts with the build type, makes the lawn build again when one of its
// switches or spinners changes, and runs the vector-field file button.
#pragma once
#include <string>

#include "sdk/parammap.h"

class Lawn;

class LawnDlgProc : public ParamMap2UserDlgProc {
 public:
  // Handles dialog initialisation (the file button's text, "Vectorfield:" and the z-as-time box),
  // the build-type radios, the switches and buttons that change the lawn, the file button and the
  // spinner-change message; returns FALSE for every message.
  INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The one static instance is never deleted.
  void DeleteThis() override {}

  // The directory of the vector-field file picked last, where the file dialog starts; emptied
  // whenever a lawn rollout opens. Kept whole, however long.
  const std::string& RememberedDirectory() const { return rememberedDir_; }

 private:
  // Runs the file dialog and loads the picked description into the shared field for `lawn`.
  void PickVectorField(Lawn& lawn, HWND rollout);

  std::string rememberedDir_;
};

// The one instance all three lawn rollouts use.
LawnDlgProc& TheLawnDlgProc();
