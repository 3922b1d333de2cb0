// Blades per second of BuildBladeMesh at the weldings the objects use, normals included.
#include <benchmark/benchmark.h>

#include "blade/blade_mesh.h"

namespace {

// Varies the bend and orientation from blade to blade, as a lawn does, without random calls.
void BM_BuildBladeMesh(benchmark::State& state) {
  BladeParams p{1.0f, 0.02f, 0.8f, static_cast<int>(state.range(0)), 0.15f, 1.25f, 0.0f, 0.2f, 5.0f};
  int n = 0;
  for (auto _ : state) {
    p.gravity = 0.6f + 0.001f * static_cast<float>(n & 255);
    p.rotationZ = 0.0245f * static_cast<float>(n & 255);
    ++n;
    Mesh m = BuildBladeMesh(p);
    benchmark::DoNotOptimize(m.verts.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildBladeMesh)->Arg(0)->Arg(2)->Arg(10);

}  // namespace

BENCHMARK_MAIN();
