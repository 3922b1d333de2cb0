// `gramora build`, `save` and `render`: a scene file through the plug-in to files.
#include "app/commands.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>

#include "app/atomic_file.h"
#include "app/build_stats.h"
#include "app/errors.h"
#include "app/host_session.h"
#include "app/json_file.h"
#include "app/parallel.h"
#include "app/path_policy.h"
#include "app/progress.h"
#include "app/render_bridge.h"
#include "app/scene_builder.h"
#include "app/scene_eval.h"
#include "app/scene_params.h"
#include "app/scene_save.h"
#include "app/viewport_svg.h"
#include "render/render_json.h"
#include "sdk/host.h"
#include "sdk/memory.h"

namespace {

// Refuses an output whose folder is missing before any long work starts; AtomicFile reports
// everything else (permissions, a full disk) when the file is written.
void CheckOutputFolder(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
    throw InputError("cannot write '" + path + "': " +
                     (std::filesystem::exists(folder, ec) ? "'" + folder.string() + "' is not a folder"
                                                          : "the folder '" + folder.string() + "' does not exist"));
  if (std::filesystem::is_directory(path, ec)) throw InputError("cannot write '" + path + "': it is a folder");
}

// "1 node", "3 nodes".
std::string Count(std::size_t n, const char* noun) { return std::to_string(n) + " " + noun + (n == 1 ? "" : "s"); }

TimeValue EvaluationTime(const std::optional<double>& option, const SceneSettings& settings) {
  return FrameToTicks(nlohmann::json(option.value_or(settings.frame)), option ? "--frame" : "the scene's \"frame\"");
}

// Builds the scene file (or the default scene) into the host and evaluates it; with `stats`, times
// the making of the scene and its evaluation.
ExportScene BuildAndEvaluate(const std::string& scenePath, const std::optional<double>& frame, bool quiet,
                             SceneSettings& settings, BuildStats* stats = nullptr) {
  const auto start = std::chrono::steady_clock::now();
  const SceneDocument doc = ReadSceneDocument(scenePath);
  ProgressBar bar("building", !quiet);
  settings = BuildSceneDocument(doc);
  if (stats) stats->scene += SecondsSince(start);
  return EvaluateScene(EvaluationTime(frame, settings), bar.Callback(), stats ? &stats->evaluation : nullptr);
}

// The image as a PNG through the same atomic path as every export: a fresh temporary beside the
// target, removed on failure or signal, renamed over the target only when whole.
void WritePngFile(const gramora::render::Image& image, const std::string& path) {
  AtomicFile file(path);
  std::exception_ptr failure;
  const std::string error = gramora::render::EncodePng(image, [&](const void* data, std::size_t size) {
    try {
      file.Write(data, size);
      return true;
    } catch (...) {  // not through libpng's C frames: kept and thrown again below
      failure = std::current_exception();
      return false;
    }
  });
  if (failure) std::rethrow_exception(failure);
  if (!error.empty()) throw InputError("cannot write '" + path + "': " + error);
  file.Commit();
}

}  // namespace

int RunBuild(const HostOptions& host, const BuildOptions& options) {
  if (!IsExportPath(options.output))
    throw InputError("cannot write '" + options.output + "': the output must end in .obj, .ply or .glb");
  CheckOutputFolder(options.output);
  if (!options.viewport.empty()) {
    if (Extension(options.viewport) != "svg")
      throw InputError("cannot write '" + options.viewport + "': the top view must end in .svg");
    CheckOutputFolder(options.viewport);
  }
  const auto start = std::chrono::steady_clock::now();
  BuildStats stats;
  HostSession session(host.pluginDir);
  SetHostMeshCopies(PeakMeshCopies(PeakWork::kExport));
  stats.scene = SecondsSince(start);
  SceneSettings settings;
  const ExportScene scene = BuildAndEvaluate(options.scene, options.frame, host.quiet, settings, &stats);
  std::size_t faces = 0;
  for (const ExportNode& n : scene.nodes) faces += n.Geometry().faces.size();
  // The export is written first: its meshes are borrowed from the scene, and drawing the top view
  // evaluates the nodes again. Both files are committed only when both are written, so a failure
  // in either leaves neither behind.
  AtomicFile output(options.output);
  std::optional<AtomicFile> svg;
  if (!options.viewport.empty()) svg.emplace(options.viewport);
  {
    ProgressBar bar("writing", !host.quiet);
    WriteSceneFile(scene, output, bar.Callback(), {0, &stats.output});
  }
  auto phase = std::chrono::steady_clock::now();
  if (svg) WriteViewportSvg(*svg, EvaluationTime(options.frame, settings));
  stats.viewport = SecondsSince(phase);
  phase = std::chrono::steady_clock::now();
  output.Commit();
  if (svg) svg->Commit();
  stats.output.write += SecondsSince(phase);  // renaming over an old file frees its blocks
  if (!host.quiet)
    std::printf("wrote %s (%s, %s)\n", options.output.c_str(), Count(scene.nodes.size(), "node").c_str(),
                Count(faces, "face").c_str());
  if (options.stats) {
    stats.total = SecondsSince(start);
    PrintBuildStats(stats, stdout);
  }
  return 0;
}

int RunSave(const HostOptions& host, const SaveOptions& options) {
  CheckOutputFolder(options.output);
  HostSession session(host.pluginDir);
  SetHostMeshCopies(PeakMeshCopies(PeakWork::kSave));
  const SceneDocument doc = ReadSceneDocument(options.scene);
  const SceneSettings settings = BuildSceneDocument(doc);
  const std::string text = SavedText(SaveScene(settings), options.output);
  AtomicFile file(options.output);
  file.Write(text.data(), text.size());
  file.Commit();
  if (!host.quiet)
    std::printf("wrote %s (%s)\n", options.output.c_str(), Count(TheHost().AllNodes().size(), "node").c_str());
  return 0;
}

int RunRender(const HostOptions& host, const RenderOptions& options) {
  if (Extension(options.output) != "png")
    throw InputError("cannot write '" + options.output + "': the image must end in .png");
  CheckOutputFolder(options.output);
  HostSession session(host.pluginDir);
  SetHostMeshCopies(PeakMeshCopies(PeakWork::kRender));
  SceneSettings settings;
  const ExportScene scene = BuildAndEvaluate(options.scene, options.frame, host.quiet, settings);

  gramora::render::Settings rs;
  if (!settings.render.is_null()) {
    const std::string error = gramora::render::ParseRenderSection(settings.render, rs);
    if (!error.empty()) throw InputError((options.scene.empty() ? "(default scene)" : options.scene) + ": " + error);
  }
  if (options.width) rs.width = *options.width;
  if (options.height) rs.height = *options.height;
  if (options.spp) rs.spp = *options.spp;
  if (options.threads) rs.threads = *options.threads;
  rs.shaderPath =
      FindShaderLibrary(rs.shaderName, (options.scene.empty() ? "(default scene)" : options.scene) + ": render.shader");
  rs.progress = !host.quiet;

  gramora::render::Image image;
  gramora::render::RenderStats stats;
  std::string error = gramora::render::Render(ToRenderScene(scene), rs, image, &stats);
  if (!error.empty()) throw InputError("cannot render: " + error);
  WritePngFile(image, options.output);
  if (!host.quiet)
    std::printf("wrote %s (%dx%d, %d samples per pixel, %.2f s)\n", options.output.c_str(), image.width, image.height,
                rs.spp, stats.seconds);
  return 0;
}
