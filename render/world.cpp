#include "render/world.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace gramora::render {

namespace {

// Scenes of more triangles than this are built without spatial splits.
constexpr std::size_t kSpatialSplitLimit = 1'000'000;

void DeviceError(void* user, RTCError code, const char* text) {
  auto* world = static_cast<World*>(user);
  if (world->deviceError.empty()) {
    world->deviceError = "ray tracer error " + std::to_string(static_cast<int>(code)) + ": " + (text ? text : "");
  }
}

std::string CheckMesh(const Mesh& mesh, std::size_t index) {
  std::string label = "mesh ";
  if (mesh.name.empty()) {
    label += '#';
    label += std::to_string(index);
  } else {
    label += '\'';
    label += mesh.name;
    label += '\'';
  }
  if (mesh.positions.size() % 3 != 0) return label + ": positions are not triples";
  if (mesh.indices.size() % 3 != 0) return label + ": indices are not triples";
  if (!mesh.normals.empty() && mesh.normals.size() != mesh.positions.size())
    return label + ": normals do not match the vertices";
  if (!mesh.uvw.empty() && mesh.uvw.size() != mesh.positions.size())
    return label + ": texture coordinates do not match the vertices";
  const std::size_t vertices = mesh.positions.size() / 3;
  for (std::uint32_t i : mesh.indices) {
    if (i >= vertices) {
      return label + ": vertex index " + std::to_string(i) + " out of range (" + std::to_string(vertices) +
             " vertices)";
    }
  }
  for (float p : mesh.positions) {
    if (!std::isfinite(p)) return label + ": a vertex position is not finite";
  }
  return {};
}

// Adds a triangle geometry to the Embree scene; returns its geometry id.
unsigned AddTriangles(World& world, const float* positions, std::size_t vertexCount, const std::uint32_t* indices,
                      std::size_t triangleCount) {
  RTCGeometry geom = rtcNewGeometry(world.device, RTC_GEOMETRY_TYPE_TRIANGLE);
  auto* v = static_cast<float*>(
      rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 3 * sizeof(float), vertexCount));
  auto* f = static_cast<std::uint32_t*>(rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                3 * sizeof(std::uint32_t), triangleCount));
  if (v != nullptr) std::memcpy(v, positions, vertexCount * 3 * sizeof(float));
  if (f != nullptr) std::memcpy(f, indices, triangleCount * 3 * sizeof(std::uint32_t));
  rtcCommitGeometry(geom);
  const unsigned id = rtcAttachGeometry(world.scene, geom);
  rtcReleaseGeometry(geom);
  return id;
}

void FillParams(GeometryRecord& record, const VerdigoSettings& s, const std::vector<miTag>& tags) {
  const std::size_t bytes = sizeof(VerdigoParams) + sizeof(miTag) * (tags.empty() ? 0 : tags.size() - 1);
  record.params.reset(new unsigned char[bytes]());
  auto* p = new (record.params.get()) VerdigoParams{};
  auto colour = [](const Rgb& c) { return miColor{c.r, c.g, c.b, 1.0f}; };
  p->tipColor = colour(s.tipColor);
  p->rootColor = colour(s.rootColor);
  p->specularColor = colour(s.specularColor);
  p->exposedColor = colour(s.exposedColor);
  p->glossiness = s.glossiness;
  p->tipStart = s.tipStart;
  p->wetness = s.wetness;
  p->mode = s.mode;
  p->i_light = 0;
  p->n_light = static_cast<miInteger>(tags.size());
  auto* array = reinterpret_cast<miTag*>(record.params.get() + offsetof(VerdigoParams, light));
  for (std::size_t i = 0; i < tags.size(); ++i) array[i] = tags[i];
}

}  // namespace

void SampleRng::Seed(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
  std::uint64_t z = a * 0x9E3779B97F4A7C15ULL ^ (b + 0x632BE59BD9B4E019ULL) * 0xBF58476D1CE4E5B9ULL ^
                    (c + 0x8CB92BA72F3D8DD7ULL) * 0x94D049BB133111EBULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  state = z ^ (z >> 31);
}

float SampleRng::Next() {
  // splitmix64: one multiply-xorshift chain per value, 24 random bits in the float.
  state += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  return static_cast<float>(z >> 40) * (1.0f / 16777216.0f);
}

World::~World() {
  if (shader.Loaded()) {
    for (auto& g : geometries) {
      if (g.grass) shader.ExitInstance(g.Params());
    }
  }
  if (scene != nullptr) rtcReleaseScene(scene);
  if (device != nullptr) rtcReleaseDevice(device);
}

std::string BuildWorld(World& world, const Scene& scene, const Settings& settings) {
  world.settings = settings;
  world.settings.maxDepth = std::clamp(settings.maxDepth, 0, kMaxDepthLimit);
  for (std::size_t i = 0; i < scene.meshes.size(); ++i) {
    if (std::string error = CheckMesh(scene.meshes[i], i); !error.empty()) return error;
  }

  world.device = rtcNewDevice(nullptr);
  if (world.device == nullptr)
    return "cannot start the ray tracer (error " + std::to_string(rtcGetDeviceError(nullptr)) + ")";
  rtcSetDeviceErrorFunction(world.device, DeviceError, &world);
  world.scene = rtcNewScene(world.device);
  // Spatial splits (the high-quality build) make traversal of thin blades faster, but for a lawn of
  // millions of triangles their build takes longer than a whole render of it saves.
  std::size_t triangles = 0;
  for (const Mesh& m : scene.meshes) triangles += m.indices.size() / 3;
  rtcSetSceneBuildQuality(world.scene,
                          triangles > kSpatialSplitLimit ? RTC_BUILD_QUALITY_MEDIUM : RTC_BUILD_QUALITY_HIGH);

  // Lights first: every grass record lists all of them.
  std::vector<Light> lights = settings.lights;
  if (lights.empty()) lights = {SunLight(kDefaultSunAzimuth, kDefaultSunElevation), SkyLight()};
  for (const Light& l : lights) world.lights.push_back(MakeLightSource(l));
  for (std::size_t i = 0; i < world.lights.size(); ++i) world.lightTags.push_back(static_cast<miTag>(i + 1));
  for (const auto& l : world.lights) {
    if (l->SeenByMissedRays() && world.sky == nullptr) world.sky = l.get();
  }

  // Bounding box of the meshes, for the camera and the ground.
  Vec3 lo{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
  Vec3 hi{-lo.x, -lo.y, -lo.z};
  bool any = false;
  for (const Mesh& m : scene.meshes) {
    for (std::size_t k = 0; k + 2 < m.positions.size(); k += 3) {
      lo = {std::min(lo.x, m.positions[k]), std::min(lo.y, m.positions[k + 1]), std::min(lo.z, m.positions[k + 2])};
      hi = {std::max(hi.x, m.positions[k]), std::max(hi.y, m.positions[k + 1]), std::max(hi.z, m.positions[k + 2])};
      any = true;
    }
  }
  if (!any) {
    lo = {-1.0f, -1.0f, 0.0f};
    hi = {1.0f, 1.0f, 1.0f};
  }
  const float aspect =
      static_cast<float>(std::max(settings.width, 1)) / static_cast<float>(std::max(settings.height, 1));
  world.camera = settings.camera.automatic ? FrameBox(lo, hi, settings.camera.fov, aspect) : settings.camera;

  for (std::size_t i = 0; i < scene.meshes.size(); ++i) {
    const Mesh& m = scene.meshes[i];
    if (m.indices.empty()) continue;
    const unsigned id =
        AddTriangles(world, m.positions.data(), m.positions.size() / 3, m.indices.data(), m.indices.size() / 3);
    if (id >= world.geometries.size()) world.geometries.resize(id + 1);
    GeometryRecord& g = world.geometries[id];
    g.name = m.name;
    g.grass = m.grass;
    g.normals = m.normals;
    g.uvw = m.uvw;
    g.indices = m.indices;
    g.color = m.color;
    g.instance = {1u, 0};
    if (m.grass) {
      FillParams(g, m.verdigo ? *m.verdigo : settings.GrassFor(m.name), world.lightTags);
      world.hasGrass = true;
    }
  }

  if (settings.ground.enabled) {
    const float z = settings.ground.automaticHeight ? lo.z : settings.ground.height;
    const float cx = 0.5f * (lo.x + hi.x), cy = 0.5f * (lo.y + hi.y);
    const float reach = settings.ground.size > 0.0f ? 0.5f * settings.ground.size
                                                    : 100.0f * std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z, 1.0f});
    const float quad[12] = {cx - reach, cy - reach, z, cx + reach, cy - reach, z,
                            cx + reach, cy + reach, z, cx - reach, cy + reach, z};
    const std::uint32_t tris[6] = {0, 1, 2, 0, 2, 3};
    const unsigned id = AddTriangles(world, quad, 4, tris, 2);
    if (id >= world.geometries.size()) world.geometries.resize(id + 1);
    world.geometries[id].ground = true;
    world.geometries[id].name = "ground";
    world.geometries[id].color = settings.ground.color;
  }
  rtcCommitScene(world.scene);
  if (!world.deviceError.empty()) return world.deviceError;

  if (world.hasGrass) {
    if (std::string error = world.shader.Load(settings.shaderPath); !error.empty()) return error;
  }
  return {};
}

namespace {

// Embree asserts (and aborts the process) on a ray with a NaN or a component of its origin or
// direction beyond its FLT_LARGE, 1.844e18. Such rays come only from scenes at the edge of float
// range (a camera at 3e38 looking at -3e38); they hit nothing.
bool Traceable(const miVector& org, const miVector& dir, float tnear, float tfar) {
  constexpr float kEmbreeLarge = 1.844e18f;
  for (float c : {org.x, org.y, org.z, dir.x, dir.y, dir.z})
    if (!(std::fabs(c) <= kEmbreeLarge)) return false;
  return !std::isnan(tnear) && !std::isnan(tfar);
}

// An Embree ray from org along dir over [tnear, tfar], seen by every geometry.
RTCRay MakeRay(const miVector& org, const miVector& dir, float tnear, float tfar) {
  RTCRay ray{};
  ray.org_x = org.x;
  ray.org_y = org.y;
  ray.org_z = org.z;
  ray.dir_x = dir.x;
  ray.dir_y = dir.y;
  ray.dir_z = dir.z;
  ray.tnear = tnear;
  ray.tfar = tfar;
  ray.mask = 0xFFFFFFFFu;
  return ray;
}

}  // namespace

bool Intersect(const World& world, const miVector& org, const miVector& dir, float tnear, float& t, unsigned& geomID,
               unsigned& primID, float& u, float& v, miVector& ng) {
  if (!Traceable(org, dir, tnear, std::numeric_limits<float>::infinity())) return false;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRayHit rh{};
  rh.ray = MakeRay(org, dir, tnear, std::numeric_limits<float>::infinity());
  rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
  rtcIntersect1(world.scene, &context, &rh);
  if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) return false;
  t = rh.ray.tfar;
  geomID = rh.hit.geomID;
  primID = rh.hit.primID;
  u = rh.hit.u;
  v = rh.hit.v;
  ng = {rh.hit.Ng_x, rh.hit.Ng_y, rh.hit.Ng_z};
  return true;
}

namespace {

bool Occluded(const World& world, const miVector& org, const miVector& dir, float tfar) {
  if (!Traceable(org, dir, 0.0f, tfar)) return false;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRay ray = MakeRay(org, dir, 0.0f, tfar);
  rtcOccluded1(world.scene, &context, &ray);
  return ray.tfar < 0.0f;
}

miVector Interpolate(const std::vector<float>& data, const std::uint32_t* tri, float u, float v) {
  const float w = 1.0f - u - v;
  auto at = [&](std::uint32_t i) { return miVector{data[3 * i], data[3 * i + 1], data[3 * i + 2]}; };
  return w * at(tri[0]) + u * at(tri[1]) + v * at(tri[2]);
}

// The built-in Lambert material: albedo times (ambient plus the lights' mean irradiance).
miColor ShadeLambert(ThreadContext& ctx, const miState& state, const Rgb& albedo) {
  const World& world = *ctx.world;
  Rgb sum = world.settings.ambient;
  for (miTag tag : world.lightTags) {
    miInteger samples = 0;
    miColor c;
    miVector l;
    miScalar dotNl = 0.0f;
    Rgb light;
    while (SampleLightAt(ctx, state, tag, c, l, dotNl, samples)) {
      const float k = std::fmax(dotNl, 0.0f);
      light = {light.r + k * c.r, light.g + k * c.g, light.b + k * c.b};
    }
    if (samples > 0) {
      const float n = static_cast<float>(samples);
      sum = {sum.r + light.r / n, sum.g + light.g / n, sum.b + light.b / n};
    }
  }
  return {albedo.r * sum.r, albedo.g * sum.g, albedo.b * sum.b, 1.0f};
}

}  // namespace

Rgb Background(const World& world, const miVector& dir) {
  if (world.sky != nullptr && world.settings.skyBackground) return world.sky->Radiance(dir);
  return world.settings.background;
}

bool SampleLightAt(ThreadContext& ctx, const miState& state, miTag tag, miColor& colour, miVector& dir, miScalar& dotNl,
                   miInteger& samples) {
  const World& world = *ctx.world;
  if (tag == miNULLTAG || tag > world.lights.size() || samples < 0) return false;
  const LightSource& light = *world.lights[tag - 1];
  if (samples >= light.Samples()) return false;
  const int k = samples++;
  const int n = light.Samples();

  // Stratify the samples of one shading point over a grid (1D for the disc's radius).
  const float s1 = (static_cast<float>(k) + ctx.rng.Next()) / static_cast<float>(n);
  const float s2 = ctx.rng.Next();
  const LightSample sample = light.Sample(state.point, k, s1, s2, ctx.rng);
  const miVector toLight = sample.toLight;
  const float distance = sample.distance, scale = sample.scale;
  const Rgb emitted = sample.emitted;
  dir = toLight;
  dotNl = Dot(state.normal, toLight);
  colour = {emitted.r * scale, emitted.g * scale, emitted.b * scale, 1.0f};
  if (scale > 0.0f) {
    // Shadow ray from the side of the surface that faces the light.
    const float side = Dot(state.normal_geom, toLight) >= 0.0f ? 1.0f : -1.0f;
    const miVector origin = state.point + (side * SurfaceEpsilon(state.point)) * state.normal_geom;
    const float reach = std::isinf(distance) ? distance : distance * (1.0f - 1e-4f);
    if (Occluded(world, origin, toLight, reach)) colour = {0.0f, 0.0f, 0.0f, 1.0f};
  }
  return true;
}

bool ShadeRay(ThreadContext& ctx, int level, const miVector& org, const miVector& dir, miColor& colour) {
  const World& world = *ctx.world;
  float t = 0.0f, u = 0.0f, v = 0.0f;
  unsigned geomID = 0, primID = 0;
  miVector ng{};
  if (!Intersect(world, org, dir, 0.0f, t, geomID, primID, u, v, ng)) {
    const Rgb bg = Background(world, dir);
    colour = {bg.r, bg.g, bg.b, 1.0f};
    return false;
  }
  const GeometryRecord& g = world.geometries[geomID];
  miState& s = ctx.states[level];
  s.org = org;
  s.dir = dir;
  s.dist = t;
  s.point = org + t * dir;
  // Both normals face the incoming ray: grass blades and the ground are seen from either side.
  ng = Normalised(ng);
  const float flip = Dot(ng, dir) > 0.0f ? -1.0f : 1.0f;
  s.normal_geom = flip * ng;
  const std::uint32_t* tri = g.indices.empty() ? nullptr : &g.indices[3 * primID];
  s.normal = s.normal_geom;
  if (tri != nullptr && !g.normals.empty()) {
    const miVector n = Normalised(Interpolate(g.normals, tri, u, v));
    if (Length(n) > 0.0f) s.normal = flip * n;
  }
  if (tri != nullptr && !g.uvw.empty()) {
    ctx.tex[level] = Interpolate(g.uvw, tri, u, v);
    s.tex_list = &ctx.tex[level];
    s.tex_count = 1;
  } else {
    s.tex_list = nullptr;
    s.tex_count = 0;
  }
  s.child = &ctx.states[level + 1];
  s.parent = level > 0 ? &ctx.states[level - 1] : nullptr;
  s.shader = &g.instance;
  s.reflection_level = level;
  s.instance = geomID + 1;
  s.renderer_private = &ctx;

  if (g.grass && world.shader.shade != nullptr) {
    if (level == 0) ++ctx.shadedGrass;
    colour = {0.0f, 0.0f, 0.0f, 1.0f};
    world.shader.shade(&colour, &s, g.Params());
  } else {
    colour = ShadeLambert(ctx, s, g.color);
  }
  return true;
}

}  // namespace gramora::render
