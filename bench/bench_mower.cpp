// Mowing speed on a 200 x 200 lawn of generated blades: faces scanned per second in one pass when
// few or all blades are cut, passes over time, and a count of the allocations a pass makes.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "blade/blade_mesh.h"
#include "mower/lawn_mower.h"
#include "mower/mow.h"
#include "sdk/object.h"
#include "tests/plugin_class_fixture.h"

namespace {

std::atomic<long> g_allocations{0};

// 40,000 blades at weldings 2 on a 1-unit grid centred on the origin, copied into one mesh the way
// the lawn builder does (vertices and texture vertices at the same index, faces shifted).
const Mesh& Lawn() {
  static const Mesh lawn = [] {
    constexpr int kSide = 200;
    const BladeParams proto{1.0f, 0.0f, 0.3f, 2, 0.1f, 1.25f, 0.0f, 0.0f, 0.0f};
    const Mesh one = BuildBladeMesh(proto);
    Mesh m;
    const int nv = one.getNumVerts(), nf = one.getNumFaces();
    m.setNumVerts(nv * kSide * kSide);
    m.setNumTVerts(nv * kSide * kSide);
    m.setNumFaces(nf * kSide * kSide);
    m.setNumTVFaces(nf * kSide * kSide);
    for (int b = 0; b < kSide * kSide; ++b) {
      BladeParams p = proto;
      p.rotationZ = 0.37f * static_cast<float>(b % 17);
      p.gravity = 0.2f + 0.01f * static_cast<float>(b % 23);
      const Mesh blade = BuildBladeMesh(p);
      const Point3 root(static_cast<float>(b % kSide - kSide / 2), static_cast<float>(b / kSide - kSide / 2), 0.0f);
      for (int k = 0; k < nv; ++k) {
        m.verts[b * nv + k] = blade.verts[k] + root;
        m.tVerts[b * nv + k] = blade.tVerts[k];
      }
      for (int f = 0; f < nf; ++f) {
        for (int k = 0; k < 3; ++k) {
          m.faces[b * nf + f].v[k] = blade.faces[f].v[k] + static_cast<DWORD>(b * nv);
          m.tvFace[b * nf + f].t[k] = blade.tvFace[f].t[k] + static_cast<DWORD>(b * nv);
        }
      }
    }
    return m;
  }();
  return lawn;
}

// One pass over a fresh copy of the lawn each iteration; the copy is outside the timing.
void RunPasses(benchmark::State& state, const MowPass& pass) {
  Mesh m = Lawn();
  long cut = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m = Lawn();
    const long before = g_allocations.load();
    state.ResumeTiming();
    cut = MowMesh(m, pass);
    benchmark::DoNotOptimize(m.verts.data());
    state.counters["allocations"] = static_cast<double>(g_allocations.load() - before);
  }
  state.counters["blades_cut"] = static_cast<double>(cut);
  state.SetItemsProcessed(state.iterations() * Lawn().getNumFaces());
}

void BM_MowPass_FewCut(benchmark::State& state) {
  MowPass pass;
  pass.shape = kMowCircle;
  pass.radius = 5.0f;  // about 80 of the 40,000 blades
  pass.length = 0.5f;
  RunPasses(state, pass);
}

void BM_MowPass_AllCut(benchmark::State& state) {
  MowPass pass;  // a rectangle with no inside, inverted: every blade is cut
  pass.invert = true;
  pass.length = 0.5f;
  RunPasses(state, pass);
}

void BM_MowCheck(benchmark::State& state) {
  const Mesh& m = Lawn();
  for (auto _ : state) benchmark::DoNotOptimize(CheckMowable(m));
  state.SetItemsProcessed(state.iterations() * m.getNumFaces());
}

// The mower's class, so mowers can be built outside the plug-in (no panel is opened here).
PluginClassFixture<LawnMower> g_mowerClass(kLawnMowerClassID, OSM_CLASS_ID, "Lawn Mower", LawnMowerBlockSpec);

// LawnMower::ModifyObject on a fresh copy of the lawn each iteration: a circle of radius 5 that
// crosses the lawn from frame 0 to frame 100; state.range(0) is the frame, state.range(1) the
// "Combine over time" switch. Counts the allocations ModifyObject makes.
void BM_ModifyObject(benchmark::State& state) {
  const TimeValue t = static_cast<TimeValue>(state.range(0)) * GetTicksPerFrame();
  auto* mower = static_cast<LawnMower*>(g_mowerClass.Desc().Create(FALSE));
  mower->paramBlock->SetValue(mower_shape, 0, kMowCircle);
  mower->paramBlock->SetValue(mower_radius, 0, 5.0f);
  mower->paramBlock->SetValue(mower_combine, 0, static_cast<int>(state.range(1)));
  auto* gizmo = static_cast<DefaultMatrix3Control*>(mower->gizmoControl);
  gizmo->SetPositionKey(0, Point3(-100.0f, 0.0f, 0.0f));
  gizmo->SetPositionKey(100 * GetTicksPerFrame(), Point3(100.0f, 0.0f, 0.0f));
  TriObject* tri = CreateNewTriObject();
  Box3 box = Lawn().getBoundingBox();
  ModContext mc(nullptr, &box);
  ObjectState os(tri);
  long allocations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tri->mesh = Lawn();
    const long before = g_allocations.load();
    state.ResumeTiming();
    mower->ModifyObject(t, mc, &os, nullptr);
    benchmark::DoNotOptimize(tri->mesh.verts.data());
    allocations = g_allocations.load() - before;
  }
  const long passes = state.range(1) ? state.range(0) + 1 : 1;
  state.counters["allocations"] = static_cast<double>(allocations);
  state.counters["passes"] = static_cast<double>(passes);
  state.SetItemsProcessed(state.iterations() * Lawn().getNumFaces() * passes);
  tri->DeleteMe();
  mower->DeleteMe();
}

}  // namespace

BENCHMARK(BM_MowPass_FewCut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MowPass_AllCut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MowCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModifyObject)->Args({10, 0})->Args({10, 1})->Args({100, 1})->Unit(benchmark::kMillisecond);

// Counting allocator: a pass must allocate nothing, whatever it cuts.
void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
// The replacement pair is malloc/free by construction; GCC cannot see that the two belong together.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

BENCHMARK_MAIN();
