// Reader of the scene file's "render" section (camera, lights, ground, background, image, sampling
// and the verdigo parameters for all grass nodes or per node) into renderer Settings.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "render/renderer.h"

namespace gramora::render {

// Applies the keys present in section onto settings (absent keys keep their values); returns "" or
// one message naming the offending key, such as "render.camera.fov: expected a number".
GRAMORA_RENDER_API std::string ParseRenderSection(const nlohmann::json& section, Settings& settings);

}  // namespace gramora::render
