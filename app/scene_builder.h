// Scene files into host scenes: reading the file, and making its nodes through the plug-in's class
// descriptors, either as the host's create mode would (a scene file) or as its loader would (a
// saved scene).
#pragma once
#include <nlohmann/json.hpp>
#include <string>

// The marker of the host's save form in a scene file's "format" key.
inline constexpr const char* kSavedFormat = "gramora saved scene 1";

// A parsed scene file and where relative paths in it start from.
struct SceneDocument {
  nlohmann::json doc;
  std::string source;   // the file name used in messages ("(default scene)" for the embedded one)
  std::string baseDir;  // folder of the file
};

// What the commands need beyond the nodes: the frame to evaluate and the "render" section.
struct SceneSettings {
  double frame = 0.0;
  nlohmann::json render;  // null when the scene has none
};

// Reads a scene file; an empty path gives the embedded default scene. Throws InputError.
SceneDocument ReadSceneDocument(const std::string& path);

// Makes the document's nodes in the host scene. A scene file creates each object, opens its panel,
// sets its parameters, loads its vector field, replays its creation drag, closes the panel and
// adds its modifiers; a saved scene creates with Create(TRUE), restores, and runs Load and the
// post-load callbacks. Throws InputError naming the file and node for any bad input.
SceneSettings BuildSceneDocument(const SceneDocument& scene);
