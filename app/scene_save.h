// The host's save form: the whole scene as a scene file that loads back to the same meshes.
#pragma once
#include <nlohmann/json.hpp>

#include "app/scene_builder.h"

// The current host scene in the save form: every node (groups with their members), its class,
// name, transform, every parameter of its block with keys and maps, and its modifiers with their
// parameters and gizmo keys; `settings` gives the frame and the "render" section to keep. Keys keep
// one order: "format", "frame", "nodes", "render"; per node "class", "name", "transform", "params",
// "modifiers".
nlohmann::ordered_json SaveScene(const SceneSettings& settings);

// The save form as the text `gramora save` writes to `output`. A string that is not UTF-8 (a file
// path in another encoding) cannot be JSON text: it is named (InputError) rather than replaced,
// which would save a path that does not exist.
std::string SavedText(const nlohmann::ordered_json& saved, const std::string& output);
