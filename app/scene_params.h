// Scene-file parameters: finding a parameter by internal name or id, and setting it from JSON.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "sdk/paramblock.h"

// Where a value came from and how to resolve what it names.
struct ParamSource {
  std::string where;    // "scene.json: nodes[2] (Lawn)", prefixed to every message
  std::string baseDir;  // folder that relative paths in the scene are resolved against
};

// The parameter `key` names in `desc`: its internal name or its decimal id. Throws InputError for
// an unknown key (suggesting the nearest names) and for an internal name that occurs more than once
// in the block (listing the ids to use instead).
const ParamDef& FindParam(const ParamBlockDesc2& desc, const std::string& key, const ParamSource& src);

// Sets parameter `def` of `block` from a JSON value: a number, boolean, string, [x, y, z],
// {"keys": [[frame, value], ...]}, or a texture map {"bitmap": PATH} / {"procedural": KIND, ...}
// (null clears a map). Throws InputError for a value of the wrong type, a value outside the range
// (which the block would clamp), or a map file that cannot be read.
void SetParamFromJson(IParamBlock2& block, const ParamDef& def, const nlohmann::json& value, const ParamSource& src);

// The time line's reach in frames either side of 0: 2e9 ticks of the 32-bit time, clear of the two
// values that mark open intervals.
inline constexpr double kMaxFrame = 12'500'000.0;

// The ticks of a scene-file frame number (frames may be fractional); throws InputError when it is
// not a finite number within the time line (-kMaxFrame to kMaxFrame).
TimeValue FrameToTicks(const nlohmann::json& frame, const std::string& where);
