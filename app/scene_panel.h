// Scene-file panel steps: a node may press its panel's controls while the panel is open, through
// the same user actions a person takes (the bound parameter changes first, then the class's panel
// procedure runs), with the answers its file dialogs are to give queued beforehand.
#pragma once
#include <nlohmann/json.hpp>

#include "app/scene_params.h"

// Runs the steps of a node's "panel" list in order, on the open panel:
//   {"button": ID}                      clicks control ID (a button, check box or radio button);
//   {"button": ID, "answer": PATH}      the same, with PATH (beside the scene) as the file dialog's
//                                       answer; "answer": null cancels the dialog;
//   {"spinner": ID, "value": NUMBER}    types NUMBER into spinner ID (or its edit field).
// Throws InputError naming the step for a malformed step, a control the open panel does not have
// or has disabled, an answer that cannot be read, and whatever the plug-in logged as an error.
void RunPanelSteps(const nlohmann::json& steps, const ParamSource& src);
