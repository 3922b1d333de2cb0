#include "render/renderer.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <random>
#include <system_error>
#include <thread>

#include "render/world.h"

namespace gramora::render {

namespace {

constexpr int kTile = 16;

struct CameraFrame {
  miVector origin, forward, right, up;
  float tanHalf = 0.0f, aspect = 1.0f;
};

CameraFrame MakeFrame(const Camera& c, int width, int height) {
  CameraFrame f;
  f.origin = ToMi(c.position);
  f.forward = Normalised(ToMi(c.target) - f.origin);
  if (Length(f.forward) == 0.0f) f.forward = {0.0f, 1.0f, 0.0f};
  f.right = Normalised(Cross(f.forward, ToMi(c.up)));
  if (Length(f.right) == 0.0f) f.right = Normalised(Cross(f.forward, miVector{1.0f, 0.0f, 0.0f}));
  if (Length(f.right) == 0.0f) f.right = Normalised(Cross(f.forward, miVector{0.0f, 1.0f, 0.0f}));
  f.up = Cross(f.right, f.forward);
  const float fov = std::clamp(c.fov, 0.1f, 179.0f);
  f.tanHalf = std::tan(0.5f * fov * kPi / 180.0f);
  f.aspect = static_cast<float>(width) / static_cast<float>(height);
  return f;
}

miVector CameraRay(const CameraFrame& f, float x, float y, int width, int height) {
  const float sx = (2.0f * x / static_cast<float>(width) - 1.0f) * f.tanHalf * f.aspect;
  const float sy = (1.0f - 2.0f * y / static_cast<float>(height)) * f.tanHalf;
  return Normalised(f.forward + sx * f.right + sy * f.up);
}

std::string CheckSettings(const Settings& s) {
  if (s.width <= 0 || s.height <= 0) return "image size must be positive";
  if (static_cast<long long>(s.width) * s.height > 100'000'000LL) return "image size too large";
  if (s.spp <= 0) return "samples per pixel must be positive";
  if (s.threads < 0) return "thread count must not be negative";
  return {};
}

// Progress bar on standard error, only when it is a terminal and progress is wanted.
class Progress {
 public:
  Progress(bool wanted, int total)
      : enabled_(wanted && isatty(STDERR_FILENO) != 0), total_(total), start_(std::chrono::steady_clock::now()) {}
  void Step() {
    const int done = ++done_;
    if (!enabled_) return;
    const int percent = total_ > 0 ? done * 100 / total_ : 100;
    if (percent == shown_.load() && done != total_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    shown_ = percent;
    char bar[41];
    const int filled = percent * 40 / 100;
    for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
    bar[40] = '\0';
    std::fprintf(stderr, "\rrender [%s] %3d%%%s", bar, percent, TimeLeft(done).c_str());
    if (done == total_) std::fputc('\n', stderr);
    std::fflush(stderr);
  }

 private:
  // "  about 1 min 20 s left" from the pace so far, padded to wipe a longer text drawn before.
  std::string TimeLeft(int done) const {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (done <= 0 || done >= total_ || elapsed < 1.0) return std::string(24, ' ');
    const long left = std::lround(elapsed * (total_ - done) / done);
    std::string text = "  about ";
    if (left >= 60) text += std::to_string(left / 60) + " min ";
    text += std::to_string(left % 60) + " s left";
    return text + std::string(text.size() < 24 ? 24 - text.size() : 0, ' ');
  }

  bool enabled_;
  int total_;
  std::chrono::steady_clock::time_point start_;
  std::atomic<int> done_{0};
  std::atomic<int> shown_{-1};
  std::mutex mutex_;
};

int ThreadCount(int requested) {
  if (requested > 0) return std::min(requested, 256);
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min(cores, 256u));
}

// Runs work(ctx, tileIndex) for every tile on up to `threads` workers (the caller is one of them);
// returns the number of grass samples shaded at the camera level.
template <typename Work>
void ForEachTile(const World& world, int threads, int tiles, Progress& progress, std::uint64_t& grass, Work work) {
  // Contexts are made before any worker starts, so no worker allocates.
  std::vector<std::unique_ptr<ThreadContext>> contexts;
  for (int i = 0; i < threads; ++i) {
    contexts.push_back(std::make_unique<ThreadContext>());
    contexts.back()->world = &world;
  }
  std::atomic<int> next{0};
  auto worker = [&](ThreadContext* ctx) {
    for (int tile = next++; tile < tiles; tile = next++) {
      work(*ctx, tile);
      progress.Step();
    }
  };
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) {
    try {
      pool.emplace_back(worker, contexts[i].get());
    } catch (const std::system_error&) {
      break;  // fewer threads: the running workers take the remaining tiles
    }
  }
  worker(contexts[0].get());
  for (auto& t : pool) t.join();
  grass = 0;
  for (const auto& ctx : contexts) grass += ctx->shadedGrass;
}

}  // namespace

const VerdigoSettings& Settings::GrassFor(const std::string& node) const {
  auto it = grassByNode.find(node);
  return it != grassByNode.end() ? it->second : grass;
}

Camera FrameBox(const Vec3& lo, const Vec3& hi, float fovDeg, float aspect) {
  Camera c;
  c.automatic = false;
  c.fov = std::clamp(fovDeg, 1.0f, 170.0f);
  const miVector centre = 0.5f * (ToMi(lo) + ToMi(hi));
  float radius = 0.5f * Length(ToMi(hi) - ToMi(lo));
  if (!(radius > 0.0f)) radius = 1.0f;
  // Looking from the front right (azimuth -60 degrees) and 30 degrees above, far enough that the
  // bounding sphere fits the narrower of the two fields of view.
  const float az = -60.0f * kPi / 180.0f, el = 30.0f * kPi / 180.0f;
  const float halfV = 0.5f * c.fov * kPi / 180.0f;
  const float halfH = std::atan(std::tan(halfV) * std::max(aspect, 1e-3f));
  const float distance = 1.05f * radius / std::sin(std::min(halfV, halfH));
  const miVector view{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
  const miVector eye = centre + distance * view;
  c.position = {eye.x, eye.y, eye.z};
  c.target = {centre.x, centre.y, centre.z};
  c.up = {0.0f, 0.0f, 1.0f};
  return c;
}

Renderer::Renderer() = default;
Renderer::~Renderer() = default;

std::string Renderer::Prepare(const Scene& scene, const Settings& settings) try {
  world_.reset();
  if (std::string error = CheckSettings(settings); !error.empty()) return error;
  auto world = std::make_unique<World>();
  if (std::string error = BuildWorld(*world, scene, settings); !error.empty()) return error;
  world_ = std::move(world);
  return {};
} catch (const std::exception& e) {
  world_.reset();
  return std::string("cannot prepare the scene: ") + e.what();
}

std::string Renderer::Render(Image& image, RenderStats* stats) try {
  if (!world_) return "nothing to render: the scene was not prepared";
  World& world = *world_;
  const Settings& s = world.settings;
  const auto start = std::chrono::steady_clock::now();

  // Shader lifecycle per render: shader-wide init, per-instance init (each reseeds its generator),
  // shading, then exit calls.
  if (world.shader.Loaded()) {
    const bool perInstance = world.shader.InitShader();
    if (perInstance) {
      for (auto& g : world.geometries) {
        if (g.grass) world.shader.InitInstance(g.Params());
      }
    }
  }

  image.width = s.width;
  image.height = s.height;
  image.rgb.assign(static_cast<std::size_t>(s.width) * s.height * 3, 0.0f);
  const CameraFrame frame = MakeFrame(world.camera, s.width, s.height);
  const int tilesX = (s.width + kTile - 1) / kTile, tilesY = (s.height + kTile - 1) / kTile;
  const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<float>(s.spp)))));
  const int rows = (s.spp + columns - 1) / columns;
  const std::uint64_t seed = s.fixedSeed ? s.seed : std::random_device{}();
  const int threads = ThreadCount(s.threads);
  Progress progress(s.progress, tilesX * tilesY);
  std::uint64_t grass = 0;

  ForEachTile(world, threads, tilesX * tilesY, progress, grass, [&](ThreadContext& ctx, int tile) {
    const int x0 = (tile % tilesX) * kTile, y0 = (tile / tilesX) * kTile;
    const int x1 = std::min(x0 + kTile, s.width), y1 = std::min(y0 + kTile, s.height);
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        // Each pixel has its own sample sequence, so the image does not depend on tile order.
        ctx.rng.Seed(seed, static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y));
        float r = 0.0f, g = 0.0f, b = 0.0f;
        for (int k = 0; k < s.spp; ++k) {
          const float jx = s.jitter ? ctx.rng.Next() : 0.5f;
          const float jy = s.jitter ? ctx.rng.Next() : 0.5f;
          const float px = static_cast<float>(x) + (static_cast<float>(k % columns) + jx) / static_cast<float>(columns);
          const float py = static_cast<float>(y) + (static_cast<float>(k / columns) + jy) / static_cast<float>(rows);
          miColor c{};
          ShadeRay(ctx, 0, frame.origin, CameraRay(frame, px, py, s.width, s.height), c);
          r += c.r;
          g += c.g;
          b += c.b;
        }
        const float inv = 1.0f / static_cast<float>(s.spp);
        float* out = &image.rgb[(static_cast<std::size_t>(y) * s.width + x) * 3];
        out[0] = r * inv;
        out[1] = g * inv;
        out[2] = b * inv;
      }
    }
  });

  if (world.shader.Loaded()) {
    for (auto& g : world.geometries) {
      if (g.grass) world.shader.ExitInstance(g.Params());
    }
    world.shader.ExitShader();
  }
  if (stats != nullptr) {
    stats->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stats->cameraRays = static_cast<std::uint64_t>(s.width) * s.height * s.spp;
    stats->shadedSamples = grass;
    stats->threads = threads;
  }
  return {};
} catch (const std::exception& e) {
  return std::string("cannot render: ") + e.what();
}

std::string Renderer::TraceCameraRays(RenderStats* stats) try {
  if (!world_) return "nothing to render: the scene was not prepared";
  const World& world = *world_;
  const Settings& s = world.settings;
  const auto start = std::chrono::steady_clock::now();
  const CameraFrame frame = MakeFrame(world.camera, s.width, s.height);
  const int tilesX = (s.width + kTile - 1) / kTile, tilesY = (s.height + kTile - 1) / kTile;
  const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<float>(s.spp)))));
  const int rows = (s.spp + columns - 1) / columns;
  const int threads = ThreadCount(s.threads);
  Progress progress(false, tilesX * tilesY);
  std::uint64_t unused = 0;
  std::atomic<std::uint64_t> hits{0};
  ForEachTile(world, threads, tilesX * tilesY, progress, unused, [&](ThreadContext& ctx, int tile) {
    const int x0 = (tile % tilesX) * kTile, y0 = (tile / tilesX) * kTile;
    const int x1 = std::min(x0 + kTile, s.width), y1 = std::min(y0 + kTile, s.height);
    std::uint64_t local = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        ctx.rng.Seed(s.seed, static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y));
        for (int k = 0; k < s.spp; ++k) {
          const float jx = s.jitter ? ctx.rng.Next() : 0.5f;
          const float jy = s.jitter ? ctx.rng.Next() : 0.5f;
          const float px = static_cast<float>(x) + (static_cast<float>(k % columns) + jx) / static_cast<float>(columns);
          const float py = static_cast<float>(y) + (static_cast<float>(k / columns) + jy) / static_cast<float>(rows);
          float t, u, v;
          unsigned geomID, primID;
          miVector ng;
          if (Intersect(world, frame.origin, CameraRay(frame, px, py, s.width, s.height), 0.0f, t, geomID, primID, u, v,
                        ng)) {
            ++local;
          }
        }
      }
    }
    hits += local;
  });
  if (stats != nullptr) {
    stats->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stats->cameraRays = static_cast<std::uint64_t>(s.width) * s.height * s.spp;
    stats->shadedSamples = hits.load();
    stats->threads = threads;
  }
  return {};
} catch (const std::exception& e) {
  return std::string("cannot trace: ") + e.what();
}

std::string Render(const Scene& scene, const Settings& settings, Image& image, RenderStats* stats) {
  Renderer renderer;
  if (std::string error = renderer.Prepare(scene, settings); !error.empty()) return error;
  return renderer.Render(image, stats);
}

}  // namespace gramora::render
