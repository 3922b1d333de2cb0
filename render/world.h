// Internal: the prepared scene the renderer traces (Embree scene, geometry records, lights, shader)
// and the per-thread context whose states the shading functions and the exported mi_* functions share.
#ifndef GRAMORA_RENDER_WORLD_H
#define GRAMORA_RENDER_WORLD_H

#include <embree3/rtcore.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/renderer.h"
#include "render/shader_interface.h"
#include "render/shader_library.h"

namespace gramora::render {

// Deepest reflection level any render may use; the per-thread state stack is sized for it.
constexpr int kMaxDepthLimit = 16;

// Small vector helpers on miVector.
inline miVector operator+(const miVector& a, const miVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline miVector operator-(const miVector& a, const miVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline miVector operator*(float s, const miVector& a) { return {s * a.x, s * a.y, s * a.z}; }
inline float Dot(const miVector& a, const miVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline miVector Cross(const miVector& a, const miVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const miVector& a) { return std::sqrt(Dot(a, a)); }
inline miVector Normalised(const miVector& a) {
  const float len = Length(a);
  return len > 0.0f ? (1.0f / len) * a : a;
}
inline miVector ToMi(const Vec3& v) { return {v.x, v.y, v.z}; }

// Offset that lifts a ray origin off the surface at p in float precision.
inline float SurfaceEpsilon(const miVector& p) {
  return 1e-4f * (1.0f + std::fmax(std::fabs(p.x), std::fmax(std::fabs(p.y), std::fabs(p.z))));
}

// Small fast generator for sample positions (not the shader's generator).
struct SampleRng {
  std::uint64_t state = 0x853c49e6748fea9bULL;
  void Seed(std::uint64_t a, std::uint64_t b, std::uint64_t c);
  float Next();  // in [0, 1)
};

struct LightRecord {
  Light::Type type = Light::Type::Directional;
  Rgb power;            // colour times intensity
  miVector toLight{};   // directional: unit vector towards the light
  float cosMax = 1.0f;  // directional: cosine of the disc's angular radius
  miVector axisU{}, axisV{};  // directional: frame around toLight
  miVector position{};  // point, rect centre
  miVector edgeU{}, edgeV{}, normal{};  // rect
  Rgb zenith, horizon;  // sky: the colour seen straight up and at the horizon
  float intensity = 1.0f;  // sky: how strongly it lights; 1 lights a white surface to the colour it shows
  int samples = 1;
};

// The colour a sky shows in direction dir (unit): its horizon colour blended towards the zenith
// colour as dir rises; directions below the horizon see the horizon colour.
Rgb SkyRadiance(const LightRecord& sky, const miVector& dir);

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
  std::vector<GeometryRecord> geometries;  // indexed by Embree geometry id
  std::vector<LightRecord> lights;         // light tag t is lights[t - 1]
  std::vector<miTag> lightTags;
  const LightRecord* sky = nullptr;        // the first sky light, which rays that hit nothing see
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
bool Intersect(const World& world, const miVector& org, const miVector& dir, float tnear, float& t,
               unsigned& geomID, unsigned& primID, float& u, float& v, miVector& ng);

}  // namespace gramora::render

#endif
