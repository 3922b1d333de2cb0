// gramora: the headless host. Parses the command line, runs one command, and turns every bad
// input into one message on standard error and exit status 2.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "app/commands.h"
#include "app/errors.h"
#include "app/path_policy.h"
#include "app/warnings.h"
#include "sdk/work_budget.h"

namespace {

constexpr int kBadInput = 2;

// An empty --frame would otherwise count as no --frame at all and silently use the scene's frame.
const CLI::Validator kFrameText(
    [](const std::string& text) { return text.empty() ? std::string("a frame must be a number") : std::string(); },
    "NUMBER");

// Work beyond this many passes (a mower combining frames 0 to 10000) is warned about before it starts.
constexpr double kWarnPasses = 1e4;

constexpr const char* kStrictHelp = "warnings about the scene (a saved lawn's missing vector field) are errors";

int Fail(const std::string& message) {
  std::fprintf(stderr, "gramora: %s\n", message.c_str());
  return kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"gramora: builds grass scenes with the grass plug-in and writes OBJ, PLY, glb or PNG"};
  app.require_subcommand(1);
  app.fallthrough();  // --plugins may also follow the command
  HostOptions host;
  app.add_option("--plugins", host.pluginDir, "folder to load *.dlo plug-ins from (default: beside gramora)");
  app.add_option("--shaders", host.shaderDir, "folder of the shader libraries a scene may name (default: beside gramora)");
  app.add_option("--max-passes", host.maxPasses,
                 "refuse work that takes more passes than this (a mower combining thousands of frames); 0: no bound")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--allow-outside-paths", host.allowOutsidePaths,
               "let a scene read files outside its own folder (bitmaps, vector fields and their data)");

  CLI::App* plugins = app.add_subcommand("plugins", "list the loaded plug-in modules and their classes");

  std::string className;
  CLI::App* params = app.add_subcommand("params", "list a class's parameters");
  params->add_option("CLASS", className, "class name or internal name")->required();

  BuildOptions build;
  CLI::App* buildCmd = app.add_subcommand("build", "build a scene and export it");
  buildCmd->add_option("SCENE", build.scene, "scene file (default: the embedded scene)");
  buildCmd->add_option("-o,--output", build.output, "output file: .obj, .ply or .glb")->required();
  buildCmd->add_option("--frame", build.frame, "frame to evaluate (default: the scene's \"frame\")")->check(kFrameText);
  buildCmd->add_option("--viewport", build.viewport, "also write a top view (.svg): mesh outlines and modifier gizmos");
  buildCmd->add_flag("-q,--quiet", host.quiet, "no progress bar");
  buildCmd->add_flag("--strict", host.strict, kStrictHelp);

  SaveOptions save;
  CLI::App* saveCmd = app.add_subcommand("save", "load a scene and write the host's save form");
  saveCmd->add_option("SCENE", save.scene, "scene file")->required();
  saveCmd->add_option("-o,--output", save.output, "saved scene file (.json)")->required();
  saveCmd->add_flag("--strict", host.strict, kStrictHelp);

  RenderOptions render;
  CLI::App* renderCmd = app.add_subcommand("render", "build a scene and render it to PNG");
  renderCmd->add_option("SCENE", render.scene, "scene file (default: the embedded scene)");
  renderCmd->add_option("-o,--output", render.output, "output image (.png)")->required();
  renderCmd->add_option("--frame", render.frame, "frame to render (default: the scene's \"frame\")")->check(kFrameText);
  renderCmd->add_option("--width", render.width, "image width in pixels")->check(CLI::Range(1, 16384));
  renderCmd->add_option("--height", render.height, "image height in pixels")->check(CLI::Range(1, 16384));
  renderCmd->add_option("--spp", render.spp, "samples per pixel")->check(CLI::Range(1, 65536));
  renderCmd->add_option("--threads", render.threads, "rendering threads (default: all cores)")
      ->check(CLI::Range(1, 1024));
  renderCmd->add_flag("-q,--quiet", host.quiet, "no progress bar");
  renderCmd->add_flag("--strict", host.strict, kStrictHelp);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return Fail(std::string(e.what()) + " (see gramora --help)");
  }

  SetStrictWarnings(host.strict);
  SetPathPolicy({host.allowOutsidePaths, host.shaderDir});
  SetWorkBounds(host.maxPasses, kWarnPasses, "--max-passes N bounds it");
  try {
    if (*plugins) return RunPlugins(host);
    if (*params) return RunParams(host, className);
    if (*buildCmd) return RunBuild(host, build);
    if (*saveCmd) return RunSave(host, save);
    return RunRender(host, render);
  } catch (const InputError& e) {
    return Fail(e.what());
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::exception& e) {
    return Fail(std::string("internal error: ") + e.what());
  }
}
