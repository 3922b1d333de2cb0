// gramora: the headless host. Parses the command line, runs one command, and turns every bad
// input into one message on standard error and exit status 2.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "app/commands.h"
#include "app/errors.h"
#include "app/examples.h"
#include "app/path_policy.h"
#include "app/suggest.h"
#include "app/warnings.h"
#include "sdk/large_alloc.h"
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

// The first word that is neither an option nor the value of one names the command. A word that
// names none is reported with the nearest command, as a misspelt class or parameter is; "" when
// the command is known or missing (CLI11 reports those cases).
std::string UnknownCommand(int argc, char** argv, const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* sub : app.get_subcommands({})) names.push_back(sub->get_name());
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--plugins" || word == "--shaders") {
      ++i;  // the option's value
      continue;
    }
    if (word.empty() || word[0] == '-') continue;
    if (std::find(names.begin(), names.end(), word) != names.end()) return "";
    const std::vector<std::string> near = NearestNames(word, names, 1);
    std::string all;
    for (const std::string& n : names) all += (all.empty() ? "" : ", ") + n;
    return "unknown command '" + word + "'" +
           (near.empty() ? " (commands: " + all + ")" : "; did you mean '" + near[0] + "'?");
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"gramora: builds grass scenes with the grass plug-in and writes OBJ, PLY, glb or PNG"};
  app.require_subcommand(1);
  app.fallthrough();  // --plugins may also follow the command
  HostOptions host;
  app.add_option("--plugins", host.pluginDir, "folder to load *.dlo plug-ins from (default: beside gramora)");
  app.add_option("--shaders", host.shaderDir,
                 "folder of the shader libraries a scene may name (default: beside gramora)");
  app.add_option("--max-passes", host.maxPasses,
                 "refuse work that takes more passes than this (a mower combining thousands of frames); 0: no bound")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--allow-outside-paths", host.allowOutsidePaths,
               "let a scene read files outside its own folder (bitmaps, vector fields and their data)");
  bool hugePages = false;
  app.add_flag("--huge-pages", hugePages,
               "map large meshes in transparent huge pages (faster where the system has them at hand; "
               "see docs/performance.md)");

  CLI::App* plugins = app.add_subcommand("plugins", "list the loaded plug-in modules and their classes");

  std::string className;
  CLI::App* params = app.add_subcommand("params", "list a class's parameters");
  params->add_option("CLASS", className, "class name or internal name")->required();

  CLI::App* examples = app.add_subcommand("examples", "list the example scenes that --example NAME builds");

  // --example NAME stands for the scene file of a shipped example.
  std::string example;
  const auto addExample = [&example](CLI::App* cmd, CLI::Option* scene) {
    cmd->add_option("--example", example, "an example scene instead of SCENE (gramora examples lists them)")
        ->excludes(scene);
  };

  BuildOptions build;
  CLI::App* buildCmd = app.add_subcommand("build", "build a scene and export it");
  addExample(buildCmd, buildCmd->add_option("SCENE", build.scene, "scene file (default: the embedded scene)"));
  buildCmd->add_option("-o,--output", build.output, "output file: .obj, .ply or .glb")->required();
  buildCmd->add_option("--frame", build.frame, "frame to evaluate (default: the scene's \"frame\")")->check(kFrameText);
  buildCmd->add_option("--viewport", build.viewport, "also write a top view (.svg): mesh outlines and modifier gizmos");
  buildCmd->add_flag("--stats", build.stats, "print the time of each phase and the peak memory");
  buildCmd->add_flag("-q,--quiet", host.quiet, "no progress bar");
  buildCmd->add_flag("--strict", host.strict, kStrictHelp);

  SaveOptions save;
  CLI::App* saveCmd = app.add_subcommand("save", "load a scene and write the host's save form");
  addExample(saveCmd, saveCmd->add_option("SCENE", save.scene, "scene file (default: the embedded scene)"));
  saveCmd->add_option("-o,--output", save.output, "saved scene file (.json)")->required();
  saveCmd->add_flag("-q,--quiet", host.quiet, "no summary line");
  saveCmd->add_flag("--strict", host.strict, kStrictHelp);

  RenderOptions render;
  CLI::App* renderCmd = app.add_subcommand("render", "build a scene and render it to PNG");
  addExample(renderCmd, renderCmd->add_option("SCENE", render.scene, "scene file (default: the embedded scene)"));
  renderCmd->add_option("-o,--output", render.output, "output image (.png)")->required();
  renderCmd->add_option("--frame", render.frame, "frame to render (default: the scene's \"frame\")")->check(kFrameText);
  renderCmd->add_option("--width", render.width, "image width in pixels (1 to 16384)")->check(CLI::Range(1, 16384));
  renderCmd->add_option("--height", render.height, "image height in pixels (1 to 16384)")->check(CLI::Range(1, 16384));
  // The same ranges as the scene file's "render" section.
  renderCmd->add_option("--spp", render.spp, "samples per pixel (1 to 4096)")->check(CLI::Range(1, 4096));
  renderCmd->add_option("--threads", render.threads, "rendering threads, 0 for every core (0 to 256; default: 0)")
      ->check(CLI::Range(0, 256));
  renderCmd->add_flag("-q,--quiet", host.quiet, "no progress bar");
  renderCmd->add_flag("--strict", host.strict, kStrictHelp);

  ServeOptions serve;
  CLI::App* serveCmd =
      app.add_subcommand("serve", "edit a scene in a web page: the plug-in's panels and a live 3-D view");
  addExample(serveCmd, serveCmd->add_option("SCENE", serve.scene, "scene file (default: the embedded scene)"));
  serveCmd->add_option("--port", serve.port, "port on 127.0.0.1 (0: any free port)")->check(CLI::Range(0, 65535));

  if (const std::string unknown = UnknownCommand(argc, argv, app); !unknown.empty()) return Fail(unknown);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return Fail(std::string(e.what()) + " (see gramora --help)");
  }
  AdviseHugePages(hugePages);

  SetStrictWarnings(host.strict);
  SetPathPolicy({host.allowOutsidePaths, host.shaderDir});
  SetWorkBounds(host.maxPasses, kWarnPasses, "--max-passes N bounds it");
  try {
    if (!example.empty()) build.scene = save.scene = render.scene = serve.scene = ExamplePath(example);
    if (*plugins) return RunPlugins(host);
    if (*params) return RunParams(host, className);
    if (*examples) return RunExamples();
    if (*buildCmd) return RunBuild(host, build);
    if (*saveCmd) return RunSave(host, save);
    if (*serveCmd) return RunServe(host, serve);
    return RunRender(host, render);
  } catch (const InputError& e) {
    return Fail(e.what());
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::exception& e) {
    return Fail(std::string("internal error: ") + e.what());
  }
}
