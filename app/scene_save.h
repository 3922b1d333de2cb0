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
