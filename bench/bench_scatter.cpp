// A lawn scattered as separate objects: one GrassBlade node per grid position, grouped, as the end
// of a lawn's creation drag makes them, through the loaded plug-in and the host; and the 300 x 300
// scatter carried on to a glb file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "app/export_scene.h"
#include "app/host_session.h"
#include "app/scene_builder.h"
#include "app/scene_eval.h"
#include "sdk/host.h"

namespace {

HostSession& Session() {
  static HostSession session(GRAMORA_BIN_DIR);
  return session;
}

// A lawn with "Single Mesh?" off dragged over side x side blades.
SceneDocument ScatterScene(int side) {
  nlohmann::json doc = {{"nodes",
                         {{{"class", "Lawn"},
                           {"create", {{"from", {0, 0}}, {"to", {side, side}}}},
                           {"params", {{"Single Mesh?", false}, {"# Blades X", side}, {"# Blades Y", side}}}}}}};
  return {doc, "(bench)", "."};
}

// Builds the scene each iteration (creation, scatter, grouping); the old scene is deleted untimed.
void BM_ScatterBlades(benchmark::State& state) {
  Session();
  const int side = static_cast<int>(state.range(0));
  const SceneDocument scene = ScatterScene(side);
  for (auto _ : state) {
    state.PauseTiming();
    TheHost().ResetScene();
    state.ResumeTiming();
    BuildSceneDocument(scene);
  }
  const std::size_t nodes = TheHost().AllNodes().size();
  TheHost().ResetScene();
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["nodes/s"] =
      benchmark::Counter(static_cast<double>(side) * side, benchmark::Counter::kIsIterationInvariantRate);
}

// The whole road of a 300 x 300 scatter: made, grouped, evaluated and written as glb.
void BM_ScatterAndExportGlb(benchmark::State& state) {
  Session();
  const SceneDocument scene = ScatterScene(static_cast<int>(state.range(0)));
  const std::string path =
      (std::filesystem::temp_directory_path() / ("gramora_bench_scatter_" + std::to_string(getpid()) + ".glb"))
          .string();
  for (auto _ : state) {
    state.PauseTiming();
    TheHost().ResetScene();
    state.ResumeTiming();
    const SceneSettings settings = BuildSceneDocument(scene);
    ExportSceneFile(EvaluateScene(0, {}), path, {});
    benchmark::DoNotOptimize(settings.frame);
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
  TheHost().ResetScene();
}

BENCHMARK(BM_ScatterBlades)
    ->Arg(100)
    ->Arg(300)
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_ScatterAndExportGlb)
    ->Arg(300)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
