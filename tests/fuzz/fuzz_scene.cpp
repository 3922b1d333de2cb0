// libFuzzer target: a scene file through gramora's reader (keys, drags, groups, modifiers, maps,
// the vector field, the render section). Built three times: as the scene reader, as the saved-scene
// reader (the input is read as the host's save form), and as a build-and-export round trip.
#include <cstdint>
#include <string>

#include "app/atomic_file.h"
#include "app/errors.h"
#include "app/export_scene.h"
#include "app/json_file.h"
#include "app/scene_builder.h"
#include "app/scene_eval.h"
#include "app/scene_params.h"
#include "render/render_json.h"
#include "tests/fuzz/fuzz_host.h"

#ifndef FUZZ_MODE
#define FUZZ_MODE 0
#endif
enum Mode { kScene = 0, kSaved = 1, kRoundTrip = 2 };

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = fuzz::Folder();
  try {
    SceneDocument doc{ParseJsonText(fuzz::Text(data, size), "fuzz.json"), "fuzz.json", folder};
    if (FUZZ_MODE == kSaved && doc.doc.is_object()) doc.doc["format"] = kSavedFormat;
    const SceneSettings settings = BuildSceneDocument(doc);
    if (!settings.render.is_null()) {
      gramora::render::Settings rs;
      (void)gramora::render::ParseRenderSection(settings.render, rs);
    }
    if (FUZZ_MODE == kRoundTrip) {
      const ExportScene scene = EvaluateScene(FrameToTicks(nlohmann::json(settings.frame), "frame"), {});
      static const char* const kFormats[] = {"out.obj", "out.ply", "out.glb"};
      AtomicFile file(folder + "/" + kFormats[size % 3]);  // never committed: the temporary goes
      WriteSceneFile(scene, file, {});
    }
  } catch (const InputError&) {
    // Refused with a message: what bad input should get.
  }
  fuzz::Reset();
  return 0;
}
