// BuildBladeLawn and BuildBundleLawn speed and memory against the time a plain fill of the output's
// bytes takes; the tuft lawn also against building its tufts one by one with AppendBundle.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "lawn/blade_lawn.h"
#include "lawn/bundle_lawn.h"
#include "tests/lawn_copied_tufts.h"

namespace {
// Peak resident set in bytes since the last ResetPeak (Linux: VmHWM).
double PeakRss() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kb = 0;
      status >> kb;
      return kb * 1024.0;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0.0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Bytes of a lawn's four arrays (61 vertices, 61 texture vertices, 87 faces, 87 texture faces per
// blade).
double MeshBytes(const Mesh& m) {
  return static_cast<double>(m.verts.size() * sizeof(Point3) + m.tVerts.size() * sizeof(UVVert) +
                             m.faces.size() * sizeof(Face) + m.tvFace.size() * sizeof(TVFace));
}

// Builds a lawn of side x side cells (range 0) with `threads` (range 1) each iteration, and records
// blades per second (bladesPerCell in every cell), the mesh's bytes and the peak memory it took.
template <class Settings, Mesh (*Build)(const Settings&)>
void MeasureLawn(benchmark::State& state, double bladesPerCell) {
  Settings s;
  s.nx = s.ny = static_cast<float>(state.range(0));
  s.threads = static_cast<int>(state.range(1));
  double bytes = 0, peak = 0;
  for (auto _ : state) {
    ResetPeak();
    const double base = PeakRss();
    Mesh m = Build(s);
    benchmark::DoNotOptimize(m.verts.data());
    bytes = MeshBytes(m);
    peak = PeakRss() - base;
  }
  const double blades = bladesPerCell * static_cast<double>(state.range(0)) * static_cast<double>(state.range(0));
  state.counters["blades/s"] = benchmark::Counter(blades, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["mesh_MB"] = bytes / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak/mesh"] = bytes > 0 ? peak / bytes : 0;
}

void BM_BuildBladeLawn(benchmark::State& state) { MeasureLawn<BladeLawnSettings, BuildBladeLawnMesh>(state, 1.0); }

// Tufts of three blades (the default), built by the lawn, or one by one with AppendBundle and copied.
void BM_BuildBundleLawn(benchmark::State& state) { MeasureLawn<BundleLawnSettings, BuildBundleLawnMesh>(state, 3.0); }
void BM_CopiedTuftLawn(benchmark::State& state) {
  MeasureLawn<BundleLawnSettings, lawn_test::CopiedTuftLawn>(state, 3.0);
}

// The reference: allocating and filling arrays of the same sizes once, for side x side cells of
// range(1) blades.
void BM_WriteOutputBytes(benchmark::State& state) {
  const std::size_t blades = static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(0)) *
                             static_cast<std::size_t>(state.range(1));
  for (auto _ : state) {
    std::vector<Point3> verts(blades * 61), tverts(blades * 61);
    std::vector<Face> faces(blades * 87);
    std::vector<TVFace> tvfaces(blades * 87);
    benchmark::DoNotOptimize(verts.data());
    benchmark::DoNotOptimize(tverts.data());
    benchmark::DoNotOptimize(faces.data());
    benchmark::DoNotOptimize(tvfaces.data());
  }
}
}  // namespace

// Arguments: blades per side, threads (0 = the default choice, 1 = sequential, 2 = a face worker).
// CPU times are the whole process's, workers included.
BENCHMARK(BM_BuildBladeLawn)
    ->Args({20, 0})
    ->Args({200, 0})
    ->Args({200, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
// Tuft lawns: side, threads; the copied baseline ignores the thread count.
BENCHMARK(BM_BuildBundleLawn)
    ->Args({100, 0})
    ->Args({500, 0})
    ->Args({500, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_CopiedTuftLawn)
    ->Args({100, 1})
    ->Args({500, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_WriteOutputBytes)
    ->Args({20, 1})
    ->Args({200, 1})
    ->Args({1000, 1})
    ->Args({500, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

BENCHMARK_MAIN();
