#include "render/render_json.h"

#include <limits>

#include "render/json_reader.h"
#include "render/lights.h"

namespace gramora::render {

namespace {

using nlohmann::json;

std::string ParseVerdigo(const json& object, const std::string& path, VerdigoSettings& v) {
  Reader r(object, path);
  if (std::string e = r.Check(
          {"tipColor", "rootColor", "specularColor", "exposedColor", "glossiness", "tipStart", "wetness", "mode"});
      !e.empty()) {
    return e;
  }
  r.Colour("tipColor", v.tipColor);
  r.Colour("rootColor", v.rootColor);
  r.Colour("specularColor", v.specularColor);
  r.Colour("exposedColor", v.exposedColor);
  r.Number("glossiness", v.glossiness);
  r.Number("tipStart", v.tipStart);
  r.Number("wetness", v.wetness);
  r.Integer("mode", v.mode, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  return r.error;
}

std::string ParseCamera(const json& object, const std::string& path, Camera& c) {
  Reader r(object, path);
  if (std::string e = r.Check({"position", "target", "up", "fov"}); !e.empty()) return e;
  if (r.Has("position") != r.Has("target")) return path + ": position and target go together";
  if (r.Has("position")) c.automatic = false;
  r.Vector("position", c.position);
  r.Vector("target", c.target);
  r.Vector("up", c.up);
  r.Number("fov", c.fov, 1.0, 170.0);
  return r.error;
}

std::string ParseGround(const json& value, const std::string& path, Ground& g) {
  if (value.is_boolean()) {
    g.enabled = value.get<bool>();
    return {};
  }
  Reader r(value, path);
  if (std::string e = r.Check({"enabled", "height", "size", "color"}); !e.empty()) return e;
  r.Boolean("enabled", g.enabled);
  if (r.Has("height")) {
    if (r.At("height").is_string() && r.At("height").get<std::string>() == "auto") {
      g.automaticHeight = true;
    } else if (r.At("height").is_number()) {
      g.automaticHeight = false;
      r.Number("height", g.height);
    } else {
      return path + ".height: expected a number or \"auto\"";
    }
  }
  r.Number("size", g.size, 0.0, 1e9);
  r.Colour("color", g.color);
  return r.error;
}

}  // namespace

std::string ParseRenderSection(const json& section, Settings& settings) {
  const std::string path = "render";
  Reader r(section, path);
  if (std::string e = r.Check({"width", "height", "spp", "threads", "seed", "max_depth", "jitter", "progress",
                               "background", "ambient", "camera", "lights", "ground", "shader", "verdigo", "nodes"});
      !e.empty()) {
    return e;
  }
  Settings s = settings;
  r.Integer("width", s.width, 1, 16384);
  r.Integer("height", s.height, 1, 16384);
  r.Integer("spp", s.spp, 1, 4096);
  r.Integer("threads", s.threads, 0, 256);
  r.Integer("max_depth", s.maxDepth, 0, 16);
  r.Boolean("jitter", s.jitter);
  r.Boolean("progress", s.progress);
  r.Colour("background", s.background);
  if (r.Has("background")) s.skyBackground = false;
  r.Colour("ambient", s.ambient);
  r.Text("shader", s.shaderName);
  if (r.error.empty() && r.Has("seed")) {
    const json& v = r.At("seed");
    if (!v.is_number_unsigned() || v.get<unsigned long long>() > 0xFFFFFFFFull) {
      r.Fail("seed", "expected a whole number from 0 to 4294967295");
    } else {
      s.fixedSeed = true;
      s.seed = static_cast<std::uint32_t>(v.get<unsigned long long>());
    }
  }
  if (!r.error.empty()) return r.error;

  if (r.Has("camera")) {
    if (std::string e = ParseCamera(r.At("camera"), r.Path("camera"), s.camera); !e.empty()) return e;
  }
  if (r.Has("lights")) {
    const json& lights = r.At("lights");
    if (!lights.is_array()) return r.Path("lights") + ": expected an array";
    s.lights.clear();
    for (std::size_t i = 0; i < lights.size(); ++i) {
      Light light;
      if (std::string e = ParseLight(lights[i], r.Path("lights") + "[" + std::to_string(i) + "]", light); !e.empty())
        return e;
      s.lights.push_back(light);
    }
  }
  if (r.Has("ground")) {
    if (std::string e = ParseGround(r.At("ground"), r.Path("ground"), s.ground); !e.empty()) return e;
  }
  if (r.Has("verdigo")) {
    if (std::string e = ParseVerdigo(r.At("verdigo"), r.Path("verdigo"), s.grass); !e.empty()) return e;
  }
  if (r.Has("nodes")) {
    const json& nodes = r.At("nodes");
    if (!nodes.is_object()) return r.Path("nodes") + ": expected an object of node names";
    for (auto it = nodes.begin(); it != nodes.end(); ++it) {
      VerdigoSettings v = s.grass;  // a node's values start from the section's own
      if (std::string e = ParseVerdigo(it.value(), r.Path("nodes") + "." + it.key(), v); !e.empty()) return e;
      s.grassByNode[it.key()] = v;
    }
  }
  settings = s;
  return {};
}

}  // namespace gramora::render
