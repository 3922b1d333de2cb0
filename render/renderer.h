// The Gramora renderer's C++ interface: a scene of world-space triangle meshes, a camera, lights,
// a ground plane and a background go in; an RGB float image or an sRGB PNG comes out. Grass meshes
// are shaded by the verdigo shader library (loaded at run time), other meshes by a Lambert material.
// Every failure is returned as a message; nothing here throws or aborts.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the renderer library exports: the functions and classes marked with it in this header and
// render_json.h, and the mi_* functions of the shader interface; everything else stays inside.
#define GRAMORA_RENDER_API __attribute__((visibility("default")))

namespace gramora::render {

struct Rgb {
  float r = 0.0f, g = 0.0f, b = 0.0f;
};

struct Vec3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

// Parameter values of one verdigo shader instance (the shader's parameter record, without the lights:
// every instance lists all scene lights).
struct VerdigoSettings {
  Rgb tipColor{0.45f, 0.62f, 0.08f};
  Rgb rootColor{0.03f, 0.16f, 0.02f};
  Rgb specularColor{0.12f, 0.12f, 0.10f};
  Rgb exposedColor{0.7f, 0.68f, 0.3f};
  float glossiness = 0.6f;
  float tipStart = 0.8f;
  float wetness = 0.0f;
  int mode = 0;
};

// One triangle mesh in world space. positions: 3 floats per vertex; normals: 3 per vertex or empty
// (then face normals are used); uvw: the first texture space, 3 per vertex, or empty; indices: 3 per
// triangle.
struct Mesh {
  std::string name;
  std::vector<float> positions;
  std::vector<float> normals;
  std::vector<float> uvw;
  std::vector<std::uint32_t> indices;
  bool grass = false;                      // shaded by verdigo, else Lambert with `color`
  std::optional<VerdigoSettings> verdigo;  // empty: the settings' values for this name (GrassFor)
  Rgb color{0.5f, 0.5f, 0.5f};
};

struct Scene {
  std::vector<Mesh> meshes;
};

// Pinhole camera; when automatic, it frames the scene's bounding box (position/target ignored).
struct Camera {
  bool automatic = true;
  Vec3 position{0.0f, -10.0f, 5.0f};
  Vec3 target{0.0f, 0.0f, 0.0f};
  Vec3 up{0.0f, 0.0f, 1.0f};
  float fov = 40.0f;  // vertical field of view, degrees
};

struct Light {
  enum class Type { kDirectional, kPoint, kRect, kSky };
  Type type = Type::kDirectional;
  Rgb color{1.0f, 1.0f, 1.0f};  // Sky: the colour at the zenith
  float intensity = 1.0f;
  Rgb horizon{1.0f, 1.0f, 1.0f};      // Sky: the colour at the horizon
  Vec3 direction{0.0f, 0.0f, -1.0f};  // Directional: the way the light travels
  float angularRadius = 0.0f;         // Directional: radius of the sun's disc, degrees
  Vec3 position;                      // Point: the point; Rect: the centre
  Vec3 edgeU{1.0f, 0.0f, 0.0f};       // Rect: the two full edges; it emits along edgeU x edgeV
  Vec3 edgeV{0.0f, 1.0f, 0.0f};
  int samples = 0;  // shadow samples per shading point; 0: 4 for rect lights, else 1
};

// The lights a scene gets when it names none: a sun at this azimuth and elevation, and a sky.
constexpr float kDefaultSunAzimuth = 45.0f, kDefaultSunElevation = 45.0f, kDefaultSkyIntensity = 0.45f;

// A sun standing at the given azimuth (from +X towards +Y) and elevation, in degrees.
GRAMORA_RENDER_API Light SunLight(float azimuthDeg, float elevationDeg, float angularRadiusDeg = 0.27f,
                                  float intensity = 1.0f);

// The default sky: a dome over the scene whose colour runs from a pale horizon to a blue zenith. A
// sky of intensity I and colour c lights an open, level Lambert surface as a sun of intensity I and
// colour c standing at the zenith would.
GRAMORA_RENDER_API Light SkyLight(float intensity = kDefaultSkyIntensity);

struct Ground {
  bool enabled = true;
  bool automaticHeight = true;  // at the lowest point of the scene
  float height = 0.0f;
  float size = 0.0f;  // side of the ground square centred under the meshes; 0: 200 times their size
  Rgb color{0.32f, 0.27f, 0.2f};
};

struct Settings {
  int width = 640;
  int height = 480;
  int spp = 4;         // stratified samples per pixel
  int threads = 0;     // 0: every core
  int maxDepth = 2;    // reflection rays on one path
  bool jitter = true;  // off: every sample at the centre of its stratum
  bool fixedSeed = false;
  std::uint32_t seed = 1;
  bool progress = true;  // progress bar on standard error when it is a terminal
  Rgb background{0.62f, 0.74f, 0.9f};
  bool skyBackground = true;          // rays that hit nothing show the sky light, when there is one
  Rgb ambient{0.04f, 0.045f, 0.05f};  // Lambert only
  Camera camera;
  std::vector<Light> lights;  // empty: a sun at 45 degrees azimuth and elevation, and the default sky
  Ground ground;
  std::string shaderName;  // the scene's "shader": a library the host finds by name ("": verdigo)
  std::string shaderPath;  // the library to load, as the host found it; empty: verdigo.so beside the renderer library
  VerdigoSettings grass;   // verdigo values for grass nodes without their own
  std::map<std::string, VerdigoSettings> grassByNode;

  // The verdigo values for the grass node of this name.
  GRAMORA_RENDER_API const VerdigoSettings& GrassFor(const std::string& node) const;
};

// A linear RGB image, rows from the top, three floats per pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<float> rgb;
};

struct RenderStats {
  double seconds = 0.0;
  std::uint64_t cameraRays = 0;
  std::uint64_t shadedSamples = 0;  // verdigo calls for camera rays
  int threads = 0;
};

struct World;

// A prepared scene (ray-tracing structure, lights, shader) that can be rendered repeatedly.
class GRAMORA_RENDER_API Renderer {
 public:
  Renderer();
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Builds the scene; returns "" or the reason it could not.
  std::string Prepare(const Scene& scene, const Settings& settings);
  // Renders the prepared scene into image; returns "" or an error.
  std::string Render(Image& image, RenderStats* stats = nullptr);
  // Casts the same camera rays as Render without shading them (raw intersection throughput).
  std::string TraceCameraRays(RenderStats* stats);

 private:
  std::unique_ptr<World> world_;
};

// Prepares and renders in one call.
GRAMORA_RENDER_API std::string Render(const Scene& scene, const Settings& settings, Image& image,
                                      RenderStats* stats = nullptr);

// Where EncodePng hands the encoded bytes, block by block; false stops the encoding.
using PngSink = std::function<bool(const void* data, std::size_t size)>;

// Encodes the image as an 8-bit sRGB PNG into `sink`; "" or what went wrong.
GRAMORA_RENDER_API std::string EncodePng(const Image& image, const PngSink& sink);

// A camera looking at the whole box from the front right and above, for the given aspect ratio.
GRAMORA_RENDER_API Camera FrameBox(const Vec3& lo, const Vec3& hi, float fovDeg, float aspect);

}  // namespace gramora::render
