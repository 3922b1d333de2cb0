// Shaded samples per second on the default lawn at 1280 x 720, beside the raw ray-tracing throughput
// of the same camera rays, for wetness >= 0 and < 0, on one and two threads.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "lawn/blade_lawn.h"
#include "render/renderer.h"

namespace {
std::atomic<long long> gAllocations{0};
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
// Every allocation of the process is counted, the shader library's and the renderer's included.
void* operator new(std::size_t n) {
  ++gAllocations;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop

namespace {

namespace gr = gramora::render;

// CPU seconds used by every thread of the process so far: the work a frame costs, whatever the
// machine's other load does to the wall clock.
double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

// The default lawn (20 x 20 single blades) as one grass mesh with vertex normals and blade coordinates.
const gr::Scene& DefaultLawn() {
  static const gr::Scene scene = [] {
    Mesh m = BuildBladeLawnMesh(BladeLawnSettings{});
    m.buildNormals();
    gr::Mesh g;
    g.name = "Lawn01";
    g.grass = true;
    for (const Point3& p : m.verts) g.positions.insert(g.positions.end(), {p.x, p.y, p.z});
    if (m.tVerts.size() == m.verts.size()) {
      for (const auto& t : m.tVerts) g.uvw.insert(g.uvw.end(), {t.x, t.y, t.z});
    }
    if (m.vertexNormals().size() == m.verts.size()) {
      for (const Point3& n : m.vertexNormals()) g.normals.insert(g.normals.end(), {n.x, n.y, n.z});
    }
    for (const Face& f : m.faces) g.indices.insert(g.indices.end(), {f.v[0], f.v[1], f.v[2]});
    gr::Scene s;
    s.meshes.push_back(std::move(g));
    return s;
  }();
  return scene;
}

gr::Settings BenchSettings(int threads, float wetness) {
  gr::Settings s;
  s.width = 1280;
  s.height = 720;
  s.spp = 1;
  s.threads = threads;
  s.fixedSeed = true;
  s.progress = false;
  s.grass.wetness = wetness;
  // Close over the 1 x 1 lawn, so that blades rather than the ground fill most of the frame.
  s.camera.automatic = false;
  s.camera.position = {0.0f, -0.9f, 0.55f};
  s.camera.target = {0.0f, 0.05f, 0.0f};
  s.camera.fov = 45.0f;
  return s;
}

void Prepare(gr::Renderer& r, const gr::Settings& settings, benchmark::State& state) {
  if (std::string e = r.Prepare(DefaultLawn(), settings); !e.empty()) state.SkipWithError(e.c_str());
}

void BM_CameraRaysRaw(benchmark::State& state) {
  const auto settings = BenchSettings(static_cast<int>(state.range(0)), 0.0f);
  gr::Renderer r;
  Prepare(r, settings, state);
  gr::RenderStats stats;
  double cpu = 0.0;
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    r.TraceCameraRays(&stats);
    cpu += ProcessCpuSeconds() - before;
  }
  state.counters["cpu_ms/frame"] = 1e3 * cpu / static_cast<double>(state.iterations());
  state.counters["rays/s"] =
      benchmark::Counter(static_cast<double>(stats.cameraRays), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["hit_share"] = static_cast<double>(stats.shadedSamples) / static_cast<double>(stats.cameraRays);
}

// range(0): threads; range(1): 0 for wetness 0, 1 for wetness -0.5 (16 probes per grass sample).
void BM_Shade(benchmark::State& state) {
  const float wetness = state.range(1) == 0 ? 0.0f : -0.5f;
  const auto settings = BenchSettings(static_cast<int>(state.range(0)), wetness);
  gr::Renderer r;
  Prepare(r, settings, state);
  gr::RenderStats stats;
  gr::Image image;
  long long allocations = 0;
  double cpu = 0.0;
  for (auto _ : state) {
    const long long before = gAllocations.load();
    const double cpuBefore = ProcessCpuSeconds();
    r.Render(image, &stats);
    cpu += ProcessCpuSeconds() - cpuBefore;
    allocations = gAllocations.load() - before;
  }
  state.counters["cpu_ms/frame"] = 1e3 * cpu / static_cast<double>(state.iterations());
  state.counters["samples/s"] =
      benchmark::Counter(static_cast<double>(stats.cameraRays), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["grass_samples/s"] =
      benchmark::Counter(static_cast<double>(stats.shadedSamples), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["allocs/frame"] = static_cast<double>(allocations);
  state.counters["grass_share"] = static_cast<double>(stats.shadedSamples) / static_cast<double>(stats.cameraRays);
}

BENCHMARK(BM_CameraRaysRaw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Shade)
    ->ArgNames({"threads", "exposure"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
