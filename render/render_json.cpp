#include "render/render_json.h"

#include <initializer_list>
#include <limits>

namespace gramora::render {

namespace {

using nlohmann::json;

// Reads typed values out of one JSON object, remembering the first error with its key path.
class Reader {
public:
  Reader(const json& object, std::string path) : object_(object), path_(std::move(path)) {}

  std::string Check(std::initializer_list<const char*> known) const {
    if (!object_.is_object()) return path_ + ": expected an object";
    for (auto it = object_.begin(); it != object_.end(); ++it) {
      bool found = false;
      for (const char* k : known) found = found || it.key() == k;
      if (!found) return path_ + "." + it.key() + ": unknown key";
    }
    return {};
  }

  bool Has(const char* key) const { return object_.contains(key); }
  const json& At(const char* key) const { return object_.at(key); }
  std::string Path(const char* key) const { return path_ + "." + key; }

  void Number(const char* key, float& out, double lo = -std::numeric_limits<double>::max(),
              double hi = std::numeric_limits<double>::max()) {
    if (!error.empty() || !Has(key)) return;
    const json& v = At(key);
    if (!v.is_number()) return Fail(key, "expected a number");
    const double d = v.get<double>();
    if (d < lo || d > hi) return Fail(key, "must lie between " + Format(lo) + " and " + Format(hi));
    out = static_cast<float>(d);
  }

  void Integer(const char* key, int& out, long long lo, long long hi) {
    if (!error.empty() || !Has(key)) return;
    const json& v = At(key);
    if (!v.is_number_integer()) return Fail(key, "expected a whole number");
    const long long n = v.get<long long>();
    if (n < lo || n > hi) return Fail(key, "must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
    out = static_cast<int>(n);
  }

  void Boolean(const char* key, bool& out) {
    if (!error.empty() || !Has(key)) return;
    if (!At(key).is_boolean()) return Fail(key, "expected true or false");
    out = At(key).get<bool>();
  }

  void Text(const char* key, std::string& out) {
    if (!error.empty() || !Has(key)) return;
    if (!At(key).is_string()) return Fail(key, "expected a string");
    out = At(key).get<std::string>();
  }

  bool Triple(const char* key, float (&out)[3]) {
    if (!error.empty() || !Has(key)) return false;
    const json& v = At(key);
    if (!v.is_array() || v.size() != 3 || !v[0].is_number() || !v[1].is_number() || !v[2].is_number()) {
      Fail(key, "expected an array of three numbers");
      return false;
    }
    for (int i = 0; i < 3; ++i) out[i] = v[i].get<float>();
    return true;
  }

  void Colour(const char* key, Rgb& out) {
    float c[3];
    if (Triple(key, c)) out = {c[0], c[1], c[2]};
  }

  void Vector(const char* key, Vec3& out) {
    float c[3];
    if (Triple(key, c)) out = {c[0], c[1], c[2]};
  }

  void Fail(const char* key, const std::string& what) {
    if (error.empty()) error = Path(key) + ": " + what;
  }

  std::string error;

private:
  static std::string Format(double d) {
    std::string s = std::to_string(d);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
  }

  const json& object_;
  std::string path_;
};

std::string ParseVerdigo(const json& object, const std::string& path, VerdigoSettings& v) {
  Reader r(object, path);
  if (std::string e = r.Check({"tipColor", "rootColor", "specularColor", "exposedColor", "glossiness", "tipStart",
                               "wetness", "mode"});
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

std::string ParseLight(const json& object, const std::string& path, Light& light) {
  if (!object.is_object()) return path + ": expected an object";
  if (!object.contains("type") || !object.at("type").is_string())
    return path + ".type: expected one of \"sun\", \"sky\", \"directional\", \"point\", \"rect\"";
  const std::string type = object.at("type").get<std::string>();
  Reader r(object, path);
  if (type == "sun") {
    if (std::string e = r.Check({"type", "azimuth", "elevation", "angular_radius", "color", "intensity", "samples"});
        !e.empty()) {
      return e;
    }
    float azimuth = 45.0f, elevation = 45.0f;
    r.Number("azimuth", azimuth);
    r.Number("elevation", elevation, -90.0, 90.0);
    light = SunLight(azimuth, elevation);
  } else if (type == "sky") {
    if (std::string e = r.Check({"type", "zenith", "horizon", "intensity", "samples"}); !e.empty()) return e;
    light = SkyLight();
    r.Colour("zenith", light.color);
    r.Colour("horizon", light.horizon);
  } else if (type == "directional") {
    if (std::string e = r.Check({"type", "direction", "angular_radius", "color", "intensity", "samples"}); !e.empty())
      return e;
    light = Light{};
    light.type = Light::Type::Directional;
    r.Vector("direction", light.direction);
  } else if (type == "point") {
    if (std::string e = r.Check({"type", "position", "color", "intensity", "samples"}); !e.empty()) return e;
    light = Light{};
    light.type = Light::Type::Point;
    if (!r.Has("position")) return path + ".position: required for a point light";
    r.Vector("position", light.position);
  } else if (type == "rect") {
    if (std::string e = r.Check({"type", "position", "u", "v", "color", "intensity", "samples"}); !e.empty()) return e;
    light = Light{};
    light.type = Light::Type::Rect;
    if (!r.Has("position")) return path + ".position: required for a rect light";
    r.Vector("position", light.position);
    r.Vector("u", light.edgeU);
    r.Vector("v", light.edgeV);
  } else {
    return path + ".type: expected one of \"sun\", \"sky\", \"directional\", \"point\", \"rect\"";
  }
  r.Number("angular_radius", light.angularRadius, 0.0, 90.0);
  r.Colour("color", light.color);
  r.Number("intensity", light.intensity, 0.0);
  r.Integer("samples", light.samples, 1, 1024);
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
