// The lights of a prepared scene behind one interface. Each kind of light is one class in
// lights.cpp with its entry in the table of kinds there: the name the scene file gives it, the keys
// it reads, how it is made from a Light and how it is sampled; a new kind of light touches that file
// (and the Light record in renderer.h when it needs a value of its own).
#pragma once
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "render/renderer.h"
#include "render/shader_interface.h"

namespace gramora::render {

struct SampleRng;

// One sample of a light for a shading point, before the shadow ray.
struct LightSample {
  miVector toLight{};     // unit direction from the point towards the sample
  float distance = 0.0f;  // to the sample; infinite for lights at infinity
  Rgb emitted;            // what the sample emits towards the point
  float scale = 1.0f;     // falloff and solid-angle factor the emitted colour is multiplied by
};

class LightSource {
 public:
  virtual ~LightSource() = default;

  // Shadow samples it gives one shading point.
  int Samples() const { return samples_; }
  // Sample k of Samples() for the point: s1 is stratified over the samples ((k + u) / n), s2
  // uniform; a kind that needs more values draws them from rng, in a fixed order.
  virtual LightSample Sample(const miVector& point, int k, float s1, float s2, SampleRng& rng) const = 0;
  // Whether rays that hit nothing see this light (a sky does), and what they see along unit dir.
  virtual bool SeenByMissedRays() const { return false; }
  virtual Rgb Radiance(const miVector& /*dir*/) const { return {}; }

 protected:
  explicit LightSource(const Light& light);
  Rgb power_;  // colour times intensity
  int samples_ = 1;
};

// The prepared light of a Light record.
std::unique_ptr<LightSource> MakeLightSource(const Light& light);

// Reads one entry of the "lights" array of the "render" section into light; "" or one message
// naming the offending key under path.
std::string ParseLight(const nlohmann::json& object, const std::string& path, Light& light);

}  // namespace gramora::render
