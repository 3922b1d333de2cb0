// Export throughput (MB/s) of the OBJ, PLY and glb writers on one large grid mesh built here, and
// on a 200 x 200 blade lawn lent to the writers with a node transform, as `gramora build` does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "app/export_scene.h"
#include "lawn/blade_lawn.h"

namespace {

// A wavy grid of side n: n*n vertices and texture vertices, 2*(n-1)^2 faces, smoothed normals.
// Coordinates are irregular floats so that number formatting does its full work.
ExportScene MakeScene(int n) {
  ExportScene scene;
  ExportNode node;
  node.name = "Grid";
  Mesh& m = node.mesh;
  m.setNumVerts(n * n);
  m.setNumTVerts(n * n);
  m.setNumFaces(2 * (n - 1) * (n - 1));
  m.setNumTVFaces(2 * (n - 1) * (n - 1));
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const int i = y * n + x;
      m.verts[i] = Point3(x * 0.0371f - 12.5f, y * 0.0419f + 3.25f, std::sin(x * 0.013f) * std::cos(y * 0.011f));
      m.tVerts[i] = Point3(float(x) / float(n - 1), float(y) / float(n - 1), (x % 7) * 0.0625f);
    }
  }
  int f = 0;
  for (int y = 0; y + 1 < n; ++y) {
    for (int x = 0; x + 1 < n; ++x) {
      const DWORD a = y * n + x, b = a + 1, c = a + n, d = c + 1;
      for (auto [p, q, r] : {std::tuple{a, b, d}, std::tuple{a, d, c}}) {
        m.faces[f].setVerts(p, q, r);
        m.faces[f].setSmGroup(1);
        m.tvFace[f].setTVerts(p, q, r);
        ++f;
      }
    }
  }
  m.buildNormals();
  scene.nodes.push_back(std::move(node));
  return scene;
}

const ExportScene& Scene() {
  static const ExportScene scene = MakeScene(1025);  // about 2.1 million faces
  return scene;
}

// 40,000 blades (3.5 million faces) in one mesh, lent with a translation as evaluated nodes are.
const ExportScene& LawnScene() {
  static const Mesh lawn = BuildBladeLawnMesh([] {
    BladeLawnSettings s;
    s.nx = s.ny = 200.0f;
    s.length = s.width = 200.0f;
    return s;
  }());
  static const ExportScene scene = [] {
    ExportScene sc;
    ExportNode node;
    node.name = "Lawn01";
    node.source = &lawn;
    node.tm = Matrix3();
    node.tm->SetTrans(Point3(3.5f, -1.25f, 0.0f));
    sc.nodes.push_back(std::move(node));
    return sc;
  }();
  return scene;
}

void Export(benchmark::State& state, const char* ext, const ExportScene& scene = Scene()) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("gramora_bench_" + std::to_string(getpid()) + ext)).string();
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    ExportSceneFile(scene, path, {}, {static_cast<int>(state.range(0))});
    bytes = std::filesystem::file_size(path);
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = double(bytes) / 1e6;
}

void BM_ExportObj(benchmark::State& state) { Export(state, ".obj"); }
void BM_ExportPly(benchmark::State& state) { Export(state, ".ply"); }
void BM_ExportGlb(benchmark::State& state) { Export(state, ".glb"); }
void BM_ExportLawnObj(benchmark::State& state) { Export(state, ".obj", LawnScene()); }
void BM_ExportLawnPly(benchmark::State& state) { Export(state, ".ply", LawnScene()); }
void BM_ExportLawnGlb(benchmark::State& state) { Export(state, ".glb", LawnScene()); }

// Argument: writer threads (1, or 0 for one per core). CPU time is the whole process's.
#define GRAMORA_EXPORT_BENCH(fn) \
  BENCHMARK(fn)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime()
GRAMORA_EXPORT_BENCH(BM_ExportObj);
GRAMORA_EXPORT_BENCH(BM_ExportPly);
GRAMORA_EXPORT_BENCH(BM_ExportGlb);
GRAMORA_EXPORT_BENCH(BM_ExportLawnObj);
GRAMORA_EXPORT_BENCH(BM_ExportLawnPly);
GRAMORA_EXPORT_BENCH(BM_ExportLawnGlb);

}  // namespace

BENCHMARK_MAIN();
