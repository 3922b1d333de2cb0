// The gramora commands, one function each; main.cpp parses the command line into these options.
#pragma once
#include <optional>
#include <string>

// Options every command that loads plug-ins shares.
struct HostOptions {
  std::string pluginDir;           // where to load *.dlo from; empty: the folder of the gramora binary
  bool quiet = false;              // no progress bar
  bool strict = false;             // warnings about the scene are errors
  bool allowOutsidePaths = false;  // files a scene names may lie outside its folder
  std::string shaderDir;           // where shader libraries are found; empty: beside gramora
  double maxPasses = 0;            // work of more passes is refused; 0: no bound
};

// `gramora build [SCENE] -o OUT [--frame F] [--viewport TOP.svg] [--stats]`.
struct BuildOptions {
  std::string scene;            // empty: the embedded default scene
  std::string output;           // .obj, .ply or .glb
  std::optional<double> frame;  // overrides the scene's "frame"
  std::string viewport;         // also a top view of the scene as SVG (empty: none)
  bool stats = false;           // print the time of each phase and the peak memory
};

// `gramora save [SCENE] -o SAVED`.
struct SaveOptions {
  std::string scene;  // empty: the embedded default scene
  std::string output;
};

// `gramora render [SCENE] -o OUT.png [--frame F] [--width W --height H] [--spp N] [--threads N]`.
struct RenderOptions {
  std::string scene;
  std::string output;
  std::optional<double> frame;
  std::optional<int> width, height, spp, threads;
};

// `gramora serve [SCENE] [--port N]`.
struct ServeOptions {
  std::string scene;  // empty: the embedded default scene
  int port = 8080;    // 0: any free port
};

// Each command returns the process exit status; bad input is thrown as InputError.
int RunPlugins(const HostOptions& host);
int RunParams(const HostOptions& host, const std::string& className);
int RunExamples();
int RunBuild(const HostOptions& host, const BuildOptions& options);
int RunSave(const HostOptions& host, const SaveOptions& options);
int RunRender(const HostOptions& host, const RenderOptions& options);
int RunServe(const HostOptions& host, const ServeOptions& options);
