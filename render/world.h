// Internal: the prepared scene the renderer traces (Embree scene, geometry records, lights, shader)
// and the per-thread context whose states the shading functions and the exported mi_* functions share.
#pragma once
#include <embree3/rtcore.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/lights.h"
#include "render/renderer.h"
#include "render/shader_interface.h"
#include "render/shader_library.h"
#include "render/vector_math.h"

namespace gramora::render {

// Deepest reflection level any render may use; the per-thread state stack is sized for it.
constexpr int kMaxDepthLimit = 16;

// Small fast generator for sample positions (not the shader's generator).
struct SampleRng {
  std::uint64_t state = 0x853c49e6748fea9bULL;
  void Seed(std::uint64_t a, std::uint64_t b, std::uint64_t c);
  float Next();  // in [0, 1)
};

struct GeometryRecord {
  std::string name;
  bool grass = false;
  bool ground = false;
  std::vector<float> normals;
  std::vector<float> uvw;
  std::vector<std::uint32_t> indices;
  std::unique_ptr<unsigned char[]> params;  // verdigo's parameter record, with the light array
  miShaderInstance instance{};
  Rgb color;
  VerdigoParams* Params() const { return reinterpret_cast<VerdigoParams*>(params.get()); }
};

struct World {
  World() = default;
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  RTCDevice device = nullptr;
  RTCScene scene = nullptr;
  std::string deviceError;
  std::vector<GeometryRecord> geometries;            // indexed by Embree geometry id
  std::vector<std::unique_ptr<LightSource>> lights;  // light tag t is lights[t - 1]
  std::vector<miTag> lightTags;
  const LightSource* sky = nullptr;  // the first light that rays hitting nothing see (a sky)
  Settings settings;
  Camera camera;
  ShaderLibrary shader;
  bool hasGrass = false;
};

// Per-thread context: a stack of shading states, one per reflection level plus one for probes.
struct ThreadContext {
  const World* world = nullptr;
  SampleRng rng;
  miState states[kMaxDepthLimit + 2]{};
  miVector tex[kMaxDepthLimit + 2]{};
  std::uint64_t shadedGrass = 0;
};

// Builds the Embree scene, geometry records, lights and parameter records; "" or an error.
std::string BuildWorld(World& world, const Scene& scene, const Settings& settings);

// What a ray along unit dir that hits nothing sees: the sky, or the flat background colour.
Rgb Background(const World& world, const miVector& dir);

// Traces a ray from org along unit dir at reflection level `level` and shades what it hits;
// returns whether something was hit (else colour is the background).
bool ShadeRay(ThreadContext& ctx, int level, const miVector& org, const miVector& dir, miColor& colour);

// One light sample for the shading point of state (the renderer side of mi_sample_light).
bool SampleLightAt(ThreadContext& ctx, const miState& state, miTag light, miColor& colour, miVector& dir,
                   miScalar& dotNl, miInteger& samples);

// Nearest hit from org along dir beyond tnear; fills the hit state fields of out when hit.
bool Intersect(const World& world, const miVector& org, const miVector& dir, float tnear, float& t, unsigned& geomID,
               unsigned& primID, float& u, float& v, miVector& ng);

}  // namespace gramora::render
