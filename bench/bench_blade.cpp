// Blades per second of BuildBladeMesh at the weldings the objects use, normals included.
#include <benchmark/benchmark.h>

#include "blade/blade_mesh.h"

namespace {

// Lawn-like blades (no stiffness, so every row bends): gravity, thinning and orientation vary
// from blade to blade as a lawn draws them, without random calls.
void BM_BuildBladeMesh(benchmark::State& state) {
  BladeParams p{1.5f, 0.0f, 0.1f, static_cast<int>(state.range(0)), 0.1f, 1.25f, 0.0f, 0.0f, 6.0f};
  int n = 0;
  for (auto _ : state) {
    const float r = static_cast<float>(n & 255) / 255.0f;
    p.gravity = 0.05f + 0.1f * r;
    p.thinning = 1.0f + 0.5f * r;
    p.rotationZ = 6.28f * r;
    p.rotationX = 0.2f * r - 0.1f;
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
