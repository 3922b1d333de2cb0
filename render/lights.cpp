#include "render/lights.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/json_reader.h"
#include "render/vector_math.h"
#include "render/world.h"

namespace gramora::render {

LightSource::LightSource(const Light& light)
    : power_{light.color.r * light.intensity, light.color.g * light.intensity, light.color.b * light.intensity},
      samples_(light.samples > 0 ? light.samples : 1) {}

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Parallel light from a disc of the sky of the given angular radius (a point when 0); samples are
// spread over the disc, stratified along its radius.
class DirectionalLight final : public LightSource {
 public:
  explicit DirectionalLight(const Light& light) : LightSource(light) {
    toLight_ = Normalised(-1.0f * ToMi(light.direction));
    if (Length(toLight_) == 0.0f) toLight_ = {0.0f, 0.0f, 1.0f};
    const float radius = std::clamp(light.angularRadius, 0.0f, 90.0f) * kPi / 180.0f;
    cosMax_ = std::cos(radius);
    if (radius == 0.0f) samples_ = 1;
    const miVector helper = std::fabs(toLight_.z) < 0.9f ? miVector{0, 0, 1} : miVector{1, 0, 0};
    axisU_ = Normalised(Cross(helper, toLight_));
    axisV_ = Cross(toLight_, axisU_);
  }

  LightSample Sample(const miVector&, int, float s1, float s2, SampleRng&) const override {
    const float cosT = 1.0f - s1 * (1.0f - cosMax_);
    const float sinT = std::sqrt(std::fmax(0.0f, 1.0f - cosT * cosT));
    const float phi = 2.0f * kPi * s2;
    const miVector toLight =
        Normalised(cosT * toLight_ + (sinT * std::cos(phi)) * axisU_ + (sinT * std::sin(phi)) * axisV_);
    return {toLight, kInfinity, power_, 1.0f};
  }

 private:
  miVector toLight_{};          // unit vector towards the light
  float cosMax_ = 1.0f;         // cosine of the disc's angular radius
  miVector axisU_{}, axisV_{};  // frame around toLight_
};

// A point that falls off with the square of the distance.
class PointLight final : public LightSource {
 public:
  explicit PointLight(const Light& light) : LightSource(light), position_(ToMi(light.position)) {}

  LightSample Sample(const miVector& point, int, float, float, SampleRng&) const override {
    const miVector d = position_ - point;
    const float distance = Length(d);
    return {Normalised(d), distance, power_, distance > 0.0f ? 1.0f / (distance * distance) : 0.0f};
  }

 private:
  miVector position_{};
};

// A one-sided rectangle that emits along edgeU x edgeV; samples on a grid over it.
class RectLight final : public LightSource {
 public:
  explicit RectLight(const Light& light)
      : LightSource(light),
        position_(ToMi(light.position)),
        edgeU_(ToMi(light.edgeU)),
        edgeV_(ToMi(light.edgeV)),
        normal_(Normalised(Cross(edgeU_, edgeV_))) {
    samples_ = light.samples > 0 ? light.samples : 4;
  }

  LightSample Sample(const miVector& point, int k, float, float, SampleRng& rng) const override {
    const int n = samples_;
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<float>(n)))));
    const float a = (static_cast<float>(k % side) + rng.Next()) / static_cast<float>(side) - 0.5f;
    const float b = (static_cast<float>((k / side) % side) + rng.Next()) / static_cast<float>(side) - 0.5f;
    const miVector p = position_ + a * edgeU_ + b * edgeV_;
    const miVector d = p - point;
    const float distance = Length(d);
    const miVector toLight = Normalised(d);
    const float cosL = -Dot(normal_, toLight);
    return {toLight, distance, power_, distance > 0.0f && cosL > 0.0f ? cosL / (distance * distance) : 0.0f};
  }

 private:
  miVector position_{}, edgeU_{}, edgeV_{}, normal_{};
};

// A dome over the scene whose colour runs from its horizon colour to its zenith colour; rays that
// hit nothing see it.
class SkyDome final : public LightSource {
 public:
  explicit SkyDome(const Light& light)
      : LightSource(light), zenith_(light.color), horizon_(light.horizon), intensity_(light.intensity) {}

  LightSample Sample(const miVector&, int k, float, float, SampleRng& rng) const override {
    // Directions spread evenly over the upper hemisphere (z uniform is even in solid angle),
    // stratified on a grid. The pdf is 1 / (2 pi) and the radiance the sky's colour times its
    // intensity over pi, so that an open level surface receives the colour times the
    // intensity; hence the factor 2.
    const int n = samples_;
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<float>(n)))));
    const float z = (static_cast<float>(k % side) + rng.Next()) / static_cast<float>(side);
    const float phi = 2.0f * kPi * (static_cast<float>((k / side) % side) + rng.Next()) / static_cast<float>(side);
    const float r = std::sqrt(std::fmax(0.0f, 1.0f - z * z));
    const miVector toLight{r * std::cos(phi), r * std::sin(phi), z};
    return {toLight, kInfinity, Radiance(toLight), 2.0f * intensity_};
  }

  bool SeenByMissedRays() const override { return true; }

  // Its horizon colour blended towards the zenith colour as dir rises; directions below the
  // horizon see the horizon colour.
  Rgb Radiance(const miVector& dir) const override {
    // A smooth step from the horizon to 45 degrees up: flat at the horizon, so the pale band shows
    // no edge where the blend starts, and the full zenith colour over the upper half of the dome.
    const float t = std::clamp(dir.z / 0.7f, 0.0f, 1.0f);
    const float f = t * t * (3.0f - 2.0f * t);
    return {horizon_.r + f * (zenith_.r - horizon_.r), horizon_.g + f * (zenith_.g - horizon_.g),
            horizon_.b + f * (zenith_.b - horizon_.b)};
  }

 private:
  Rgb zenith_, horizon_;    // the colour seen straight up and at the horizon
  float intensity_ = 1.0f;  // how strongly it lights; 1 lights a white surface to the colour it shows
};

template <class Kind>
std::unique_ptr<LightSource> Make(const Light& light) {
  return std::make_unique<Kind>(light);
}

// The scene file's light types: each reads its own keys into a Light (the common ones,
// "angular_radius", "color", "intensity" and "samples", are read after it, where its key list
// allows them).
std::string ReadSun(Reader& r, Light& light) {
  if (std::string e = r.Check({"type", "azimuth", "elevation", "angular_radius", "color", "intensity", "samples"});
      !e.empty()) {
    return e;
  }
  float azimuth = 45.0f, elevation = 45.0f;
  r.Number("azimuth", azimuth);
  r.Number("elevation", elevation, -90.0, 90.0);
  light = SunLight(azimuth, elevation);
  return {};
}

std::string ReadSky(Reader& r, Light& light) {
  if (std::string e = r.Check({"type", "zenith", "horizon", "intensity", "samples"}); !e.empty()) return e;
  light = SkyLight();
  r.Colour("zenith", light.color);
  r.Colour("horizon", light.horizon);
  return {};
}

std::string ReadDirectional(Reader& r, Light& light) {
  if (std::string e = r.Check({"type", "direction", "angular_radius", "color", "intensity", "samples"}); !e.empty())
    return e;
  light = Light{};
  light.type = Light::Type::kDirectional;
  r.Vector("direction", light.direction);
  return {};
}

std::string ReadPoint(Reader& r, Light& light) {
  if (std::string e = r.Check({"type", "position", "color", "intensity", "samples"}); !e.empty()) return e;
  light = Light{};
  light.type = Light::Type::kPoint;
  if (!r.Has("position")) return r.Path("position") + ": required for a point light";
  r.Vector("position", light.position);
  return {};
}

std::string ReadRect(Reader& r, Light& light) {
  if (std::string e = r.Check({"type", "position", "u", "v", "color", "intensity", "samples"}); !e.empty()) return e;
  light = Light{};
  light.type = Light::Type::kRect;
  if (!r.Has("position")) return r.Path("position") + ": required for a rect light";
  r.Vector("position", light.position);
  r.Vector("u", light.edgeU);
  r.Vector("v", light.edgeV);
  return {};
}

struct LightKind {
  const char* name;  // the scene file's "type"
  Light::Type type;
  std::string (*read)(Reader& r, Light& light);
  std::unique_ptr<LightSource> (*make)(const Light& light);
};

const LightKind kLightKinds[] = {
    {"sun", Light::Type::kDirectional, ReadSun, Make<DirectionalLight>},
    {"sky", Light::Type::kSky, ReadSky, Make<SkyDome>},
    {"directional", Light::Type::kDirectional, ReadDirectional, Make<DirectionalLight>},
    {"point", Light::Type::kPoint, ReadPoint, Make<PointLight>},
    {"rect", Light::Type::kRect, ReadRect, Make<RectLight>},
};

// `path.type: expected one of "sun", "sky", ...`
std::string UnknownType(const std::string& path) {
  std::string text = path + ".type: expected one of ";
  for (const LightKind& kind : kLightKinds) {
    if (&kind != kLightKinds) text += ", ";
    text += '"';
    text += kind.name;
    text += '"';
  }
  return text;
}

}  // namespace

Light SunLight(float azimuthDeg, float elevationDeg, float angularRadiusDeg, float intensity) {
  Light sun;
  sun.type = Light::Type::kDirectional;
  const float az = azimuthDeg * kPi / 180.0f;
  const float el = elevationDeg * kPi / 180.0f;
  sun.direction = {-std::cos(el) * std::cos(az), -std::cos(el) * std::sin(az), -std::sin(el)};
  sun.angularRadius = angularRadiusDeg;
  sun.intensity = intensity;
  return sun;
}

Light SkyLight(float intensity) {
  Light sky;
  sky.type = Light::Type::kSky;
  sky.color = {0.15f, 0.35f, 0.85f};
  sky.horizon = {0.55f, 0.7f, 0.92f};
  sky.intensity = intensity;
  return sky;
}

std::unique_ptr<LightSource> MakeLightSource(const Light& light) {
  for (const LightKind& kind : kLightKinds) {
    if (kind.type == light.type) return kind.make(light);
  }
  return nullptr;
}

std::string ParseLight(const nlohmann::json& object, const std::string& path, Light& light) {
  if (!object.is_object()) return path + ": expected an object";
  if (!object.contains("type") || !object.at("type").is_string()) return UnknownType(path);
  const std::string type = object.at("type").get<std::string>();
  const LightKind* kind = nullptr;
  for (const LightKind& k : kLightKinds) {
    if (type == k.name) kind = &k;
  }
  if (kind == nullptr) return UnknownType(path);
  Reader r(object, path);
  if (std::string e = kind->read(r, light); !e.empty()) return e;
  r.Number("angular_radius", light.angularRadius, 0.0, 90.0);
  r.Colour("color", light.color);
  r.Number("intensity", light.intensity, 0.0);
  r.Integer("samples", light.samples, 1, 1024);
  return r.error;
}

}  // namespace gramora::render
