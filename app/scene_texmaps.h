// Texture maps in scene files: {"bitmap": PATH} and {"procedural": KIND, ...options}.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "sdk/texmap.h"

// A new map from its scene-file description; relative bitmap paths are resolved against baseDir.
// Throws InputError (prefixed with `where`) for an unknown kind or option, a wrong option value or
// an image that cannot be read. The caller hands the map to a block or deletes it.
Texmap* MakeTexmap(const nlohmann::json& spec, const std::string& baseDir, const std::string& where);

// The scene-file description of a map, the inverse of MakeTexmap (bitmap paths absolute).
nlohmann::json DescribeTexmap(Texmap* map);
