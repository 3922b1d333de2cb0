// `gramora build` end to end: a lawn of N x N single blades written to OBJ and glb by the real
// program, beside the two references its wall-time bound is made of: the library building the same
// lawn in a fresh process, and writing the glb's number of bytes to a file once. Every run is one
// whole process: wall time, CPU time and peak memory are the child's own.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "lawn/blade_lawn.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path WorkFolder() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("gramora_bench_build_" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// A lawn of n x n blades, one unit per cell, with the default blade parameters.
fs::path LawnScene(int n) {
  const fs::path path = WorkFolder() / ("lawn_" + std::to_string(n) + ".json");
  std::ofstream(path) << R"({ "nodes": [ { "class": "Lawn", "name": "Lawn01", "params": { "11": )" << n << R"(, "12": )"
                      << n << R"(, "# Blades X": )" << n << R"(, "# Blades Y": )" << n << " } } ] }\n";
  return path;
}

// Bytes of the glb of n x n blades: per blade 61 welded vertices of 36 bytes and 87 faces of 12,
// plus about a kilobyte of header and JSON.
std::uint64_t GlbBytes(int n) { return std::uint64_t(n) * std::uint64_t(n) * (61 * 36 + 87 * 12) + 1024; }

// Runs a program to its end; its wall time, CPU time and peak resident memory.
struct Run {
  double wall = 0, cpu = 0, peakBytes = 0;
  int status = -1;
};

Run Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Run r;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return r;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
          1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
  r.peakBytes = double(usage.ru_maxrss) * 1024.0;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// `gramora build lawn.json -o lawn.EXT -q`; the output is removed outside the timed run.
void BM_GramoraBuild(benchmark::State& state, const char* ext) {
  const int n = static_cast<int>(state.range(0));
  const fs::path scene = LawnScene(n), out = WorkFolder() / (std::string("lawn") + ext);
  Run r;
  for (auto _ : state) {
    r = Spawn({std::string(GRAMORA_BIN_DIR) + "/gramora", "build", scene.string(), "-o", out.string(), "-q"});
    if (r.status != 0) {
      state.SkipWithError("gramora build failed");
      break;
    }
    state.SetIterationTime(r.wall);
    state.counters["file_MB"] = double(fs::file_size(out)) / 1e6;
    fs::remove(out);
  }
  const double meshBytes = double(n) * double(n) * (61.0 * 24 + 87.0 * 32);
  state.counters["cpu_s"] = r.cpu;
  state.counters["peak_MB"] = r.peakBytes / 1e6;
  state.counters["peak/mesh"] = r.peakBytes / meshBytes;
}

// The library alone: BuildBladeLawnMesh in a process of its own (this program started again with
// --build-lawn N), so that, like gramora, it pays for touching fresh memory; in one process a
// second build would reuse the pages the first one freed.
void BM_LibraryBuild(benchmark::State& state) {
  Run r;
  for (auto _ : state) {
    r = Spawn({"/proc/self/exe", "--build-lawn", std::to_string(state.range(0))});
    if (r.status != 0) {
      state.SkipWithError("the lawn build failed");
      break;
    }
    state.SetIterationTime(r.wall);
  }
  state.counters["cpu_s"] = r.cpu;
  state.counters["peak_MB"] = r.peakBytes / 1e6;
}

// The child of BM_LibraryBuild: builds the n x n lawn once.
int BuildLawnOnce(int n) {
  BladeLawnSettings s;
  s.nx = s.ny = static_cast<float>(n);
  s.length = s.width = static_cast<float>(n);
  const Mesh m = BuildBladeLawnMesh(s);
  return m.faces.empty() ? 1 : 0;
}

// Writing the glb's number of bytes to a new file once, from a buffer already in memory: through
// the page cache (fwrite), and around it (O_DIRECT, whole pages, then cut to size), whichever the
// machine does faster being the reference.
void BM_WriteFileOnce(benchmark::State& state) {
  const std::uint64_t bytes = GlbBytes(static_cast<int>(state.range(0)));
  const bool direct = state.range(1) != 0;
  constexpr std::size_t kBlock = std::size_t{4} << 20;
  std::unique_ptr<char, void (*)(void*)> block(static_cast<char*>(std::aligned_alloc(4096, kBlock)), std::free);
  std::fill_n(block.get(), kBlock, 'g');
  const fs::path out = WorkFolder() / "bytes.bin";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | (direct ? O_DIRECT : 0), 0644);
    if (fd < 0) {
      state.SkipWithError("cannot open the file");
      break;
    }
    for (std::uint64_t done = 0; done < bytes;) {
      // Direct writes go in whole pages; the last one is cut back below.
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(bytes - done, kBlock) + 4095) / 4096 * 4096;
      if (write(fd, block.get(), direct ? n : std::min<std::uint64_t>(bytes - done, kBlock)) <= 0) break;
      done += n;
    }
    if (direct && ftruncate(fd, static_cast<off_t>(bytes)) != 0) state.SkipWithError("cannot cut the file");
    close(fd);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    fs::remove(out);
  }
  state.counters["file_MB"] = double(bytes) / 1e6;
}

void BM_GramoraObj(benchmark::State& state) { BM_GramoraBuild(state, ".obj"); }
void BM_GramoraGlb(benchmark::State& state) { BM_GramoraBuild(state, ".glb"); }

}  // namespace

// Argument: blades per side. One run per repetition (a run of 1000 x 1000 takes seconds).
BENCHMARK(BM_LibraryBuild)
    ->Arg(200)
    ->Arg(500)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// Second argument of BM_WriteFileOnce: 0 through the page cache, 1 around it.
BENCHMARK(BM_WriteFileOnce)
    ->ArgsProduct({{200, 500, 1000}, {0, 1}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GramoraObj)->Arg(200)->Arg(500)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GramoraGlb)->Arg(200)->Arg(500)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--build-lawn") return BuildLawnOnce(std::atoi(argv[2]));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(WorkFolder());
  return 0;
}
