// The gramora binary on scene files: round trips through the save form, exports read back by
// standard readers, and every kind of bad input (exit status 2, one message, no output file).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include <tiny_gltf.h>

#include "tests/test_util.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

using test_util::ReadAll;
using Result = test_util::GramoraRun;

class CliTest : public ::testing::Test {
 protected:
  fs::path Path(const std::string& name) const { return dir_ / name; }

  fs::path Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name)) << text;
    return Path(name);
  }

  Result Run(const std::vector<std::string>& args) const { return test_util::RunGramora(args, dir_); }

  test_util::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

// A scene of plain blades: parameters by name and id, keys, a position, a transform, a creation
// drag and a group.
const char* kBladeScene = R"({
  "frame": 12,
  "nodes": [
    { "class": "GrassBlade", "name": "Blade01",
      "params": { "size": 2, "Gravity": { "keys": [[0, 0.1], [30, 0.6]] }, "3": 2 }, "position": [10, 0, 0] },
    { "class": "Grass blade", "create": { "from": [0, 0], "to": [24, 0], "ctrl": false },
      "params": { "Stiffness": 0.3 } },
    { "group": "Tuft", "nodes": [
      { "class": "GrassBlade", "name": "A", "params": { "Z rotation": 1.5, "Weld factor": -0.5 } },
      { "class": "GrassBlade", "name": "B",
        "transform": [[0, 1, 0], [-1, 0, 0], [0, 0, 1], [3, 4, 5]] } ] }
  ]
})";

TEST_F(CliTest, BuildSaveLoadBuildGivesIdenticalObj) {
  const fs::path scene = Write("blades.json", kBladeScene);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("a.obj").string(), "--quiet"}).status, 0);
  const Result saved = Run({"save", scene.string(), "-o", Path("saved.json").string()});
  ASSERT_EQ(saved.status, 0) << saved.err;
  const Result rebuilt = Run({"build", Path("saved.json").string(), "-o", Path("b.obj").string(), "--quiet"});
  ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
  EXPECT_EQ(ReadAll(Path("a.obj")), ReadAll(Path("b.obj")));
  // Saving the loaded scene again gives the same save form.
  ASSERT_EQ(Run({"save", Path("saved.json").string(), "-o", Path("saved2.json").string()}).status, 0);
  EXPECT_EQ(ReadAll(Path("saved.json")), ReadAll(Path("saved2.json")));

  const json doc = json::parse(ReadAll(Path("saved.json")));
  EXPECT_EQ(doc["frame"], 12);
  EXPECT_EQ(doc["nodes"][0]["name"], "Blade01");
  EXPECT_EQ(doc["nodes"][0]["params"]["2"]["keys"].size(), 2u);  // "Gravity" keeps its keys
  EXPECT_EQ(doc["nodes"][2]["group"], "Tuft");
  EXPECT_EQ(doc["nodes"][2]["nodes"].size(), 2u);
}

// --stats adds the phase table on standard output and changes nothing in the file.
TEST_F(CliTest, BuildStatsReportPhasesAndPeakMemory) {
  const fs::path scene = Write("blades.json", kBladeScene);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("a.glb").string(), "--quiet"}).status, 0);
  const Result r = Run({"build", scene.string(), "-o", Path("b.glb").string(), "--quiet", "--stats"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(Path("a.glb")), ReadAll(Path("b.glb")));
  std::istringstream lines(r.out);
  std::string phase, unit;
  double value = -1, total = 0, sum = 0;
  std::getline(lines, phase);  // the heading
  for (const char* expected : {"scene", "build", "modifiers", "normals", "export", "viewport", "total"}) {
    ASSERT_TRUE(lines >> phase >> value) << r.out;
    EXPECT_EQ(phase, expected);
    EXPECT_GE(value, 0.0) << phase;
    (phase == "total" ? total : sum) += value;
  }
  EXPECT_GE(total + 0.002, sum);  // the phases (rounded to ms) fit in the total
  ASSERT_TRUE(lines >> phase >> unit >> value >> unit) << r.out;
  EXPECT_EQ(phase + " " + unit, "peak MB");
  EXPECT_GT(value, 1.0);
}

// A lawn with a height map, a procedural probability map and a vector field, mown by a keyed
// mower: everything the save form has to carry. Its files are copied beside the scene in `dir`.
std::string LawnScene(const fs::path& dir, bool withField) {
  for (const char* name : {"app_hills.png", "app_wind.dat", "app_wind.raw"})
    fs::copy_file(fs::path(GRAMORA_TEST_DATA) / name, dir / name, fs::copy_options::skip_existing);
  json scene = json::parse(R"({
    "frame": 20,
    "nodes": [
      { "class": "Lawn", "name": "Lawn01",
        "params": { "11": 30, "12": 20, "# Blades X": 12, "# Blades Y": 10, "Heightmap Magnitude": 3,
                    "Heightfieldmap": { "bitmap": "app_hills.png" },
                    "Probabilitymap": { "procedural": "noise", "size": 3, "seed": 7 } },
        "modifiers": [ { "class": "LawnMower",
                         "params": { "shape": 1, "Radius": 6, "Combine over time": true },
                         "gizmo": { "position": { "keys": [[0, [-10, 0, 0]], [30, [10, 0, 0]]] } } } ] } ] })");
  if (withField) scene["nodes"][0]["vectorField"] = "app_wind.dat";
  return scene.dump();
}

TEST_F(CliTest, LawnWithMapsFieldAndMowerRoundTrips) {
  const fs::path scene = Write("lawn.json", LawnScene(dir_, true));
  const Result built = Run({"build", scene.string(), "-o", Path("a.obj").string()});
  ASSERT_EQ(built.status, 0) << built.err;
  ASSERT_EQ(Run({"save", scene.string(), "-o", Path("saved.json").string()}).status, 0);
  const Result rebuilt = Run({"build", Path("saved.json").string(), "-o", Path("b.obj").string()});
  ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
  EXPECT_EQ(ReadAll(Path("a.obj")), ReadAll(Path("b.obj")));

  const json saved = json::parse(ReadAll(Path("saved.json")));
  const json& params = saved["nodes"][0]["params"];
  EXPECT_EQ(params["2"]["bitmap"], Path("app_hills.png").string());
  EXPECT_EQ(params["9"]["procedural"], "noise");
  EXPECT_EQ(params["4"], true);  // "VectormapEnabled"
  EXPECT_EQ(saved["nodes"][0]["modifiers"][0]["gizmo"]["position"]["keys"].size(), 2u);

  // The field really bends the lawn: without it the mesh differs.
  const fs::path plain = Write("plain.json", LawnScene(dir_, false));
  ASSERT_EQ(Run({"build", plain.string(), "-o", Path("c.obj").string()}).status, 0);
  EXPECT_NE(ReadAll(Path("a.obj")), ReadAll(Path("c.obj")));
}

// The tuft example: a lawn of tufts on a height map under a mower, and a tuft of its own. The tufts
// draw their random values again when loaded, in the order the scene made them, so the saved scene
// builds to the same mesh.
TEST_F(CliTest, TuftExampleRoundTripsThroughTheSaveForm) {
  // Copied with its map, so the saved scene lies beside the files it names.
  const fs::path examples = fs::path(GRAMORA_TEST_DATA) / "../../docs/examples";
  for (const char* file : {"tufts.json", "hills.png"}) fs::copy_file(examples / file, Path(file));
  const std::string example = Path("tufts.json").string();
  const Result built = Run({"build", example, "-o", Path("a.obj").string()});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_NE(built.out.find("(2 nodes, "), std::string::npos) << built.out;
  ASSERT_EQ(Run({"save", example, "-o", Path("saved.json").string()}).status, 0);
  const Result rebuilt = Run({"build", Path("saved.json").string(), "-o", Path("b.obj").string()});
  ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
  EXPECT_EQ(ReadAll(Path("a.obj")), ReadAll(Path("b.obj")));
  const json saved = json::parse(ReadAll(Path("saved.json")));
  EXPECT_EQ(saved["nodes"][0]["params"]["1"], 1);  // "buildtype": bundles
  EXPECT_EQ(saved["nodes"][1]["class"], "GrassBundle");
  EXPECT_EQ(saved["nodes"][1]["params"].size(), 17u);
  const Result params = Run({"params", "GrassBundle"});
  ASSERT_EQ(params.status, 0);
  EXPECT_NE(params.out.find("block 0 \"params\" (17 parameters)"), std::string::npos) << params.out;
  EXPECT_NE(params.out.find("\"Min thiness\""), std::string::npos);
}

// The scatter example: two lawns dragged with "Single Mesh?" off leave their rectangles and two
// groups of separate blades and tufts, which the save form and the glb keep as groups.
TEST_F(CliTest, ScatterExampleKeepsItsGroups) {
  const fs::path examples = fs::path(GRAMORA_TEST_DATA) / "../../docs/examples";
  for (const char* file : {"scatter.json", "hills.png"}) fs::copy_file(examples / file, Path(file));
  ASSERT_EQ(Run({"save", Path("scatter.json").string(), "-o", Path("saved.json").string()}).status, 0);
  const json saved = json::parse(ReadAll(Path("saved.json")));
  ASSERT_EQ(saved["nodes"].size(), 4u);
  EXPECT_EQ(saved["nodes"][1]["group"], "Lawn001");
  EXPECT_EQ(saved["nodes"][1]["nodes"][0]["class"], "GrassBlade");
  EXPECT_EQ(saved["nodes"][3]["nodes"].size(), 64u);  // 8 x 8 tufts, no probability map
  EXPECT_EQ(saved["nodes"][3]["nodes"][0]["class"], "GrassBundle");
  ASSERT_EQ(Run({"build", Path("scatter.json").string(), "-o", Path("s.glb").string()}).status, 0);
  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string err, warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &err, &warn, Path("s.glb").string())) << err;
  ASSERT_EQ(model.scenes[0].nodes.size(), 4u);
  EXPECT_EQ(model.nodes[model.scenes[0].nodes[1]].children.size(), saved["nodes"][1]["nodes"].size());
  EXPECT_EQ(model.nodes[model.scenes[0].nodes[3]].children.size(), 64u);
}

// A lawn dragged out from (0, 0) to (-10, 5): once with one mesh, once scattering a 3 x 2 grid of
// blade nodes into a group. The scatter's nodes round-trip through the save form.
TEST_F(CliTest, DraggedLawnsAndTheirScatterRoundTrip) {
  const fs::path scene = Write("drag.json", R"({"nodes": [
    { "class": "Lawn", "name": "Single", "create": { "from": [0, 0], "to": [-10, 5] } },
    { "class": "Lawn", "create": { "from": [20, 0], "to": [30, 4] },
      "params": { "Single Mesh?": false, "# Blades X": 3, "# Blades Y": 2 } } ]})");
  const Result built = Run({"save", scene.string(), "-o", Path("saved.json").string()});
  ASSERT_EQ(built.status, 0) << built.err;
  const json saved = json::parse(ReadAll(Path("saved.json")));
  const json& single = saved["nodes"][0];
  EXPECT_EQ(single["params"]["11"], 10.0);
  EXPECT_EQ(single["params"]["12"], 5.0);
  EXPECT_EQ(single["transform"][3], json::array({-5.0, 2.5, 0.0}));
  ASSERT_EQ(saved["nodes"].size(), 3u);  // the two lawns and the scattered group
  EXPECT_EQ(saved["nodes"][2]["nodes"].size(), 6u);
  EXPECT_EQ(saved["nodes"][2]["nodes"][0]["class"], "GrassBlade");

  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("a.obj").string()}).status, 0);
  ASSERT_EQ(Run({"build", Path("saved.json").string(), "-o", Path("b.obj").string()}).status, 0);
  EXPECT_EQ(ReadAll(Path("a.obj")), ReadAll(Path("b.obj")));
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("a.glb").string()}).status, 0);
  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string err, warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &err, &warn, Path("a.glb").string())) << err;
  EXPECT_EQ(model.scenes[0].nodes.size(), 3u);
  EXPECT_EQ(model.nodes[model.scenes[0].nodes[2]].children.size(), 6u);
}

// A panel step presses the lawn's file button with the dialog's answer queued: the lawn ends as if
// the scene had named the field, and a cancelled dialog switches the field off again.
TEST_F(CliTest, PanelStepsPressTheFileButton) {
  for (const char* file : {"app_wind.dat", "app_wind.raw"})
    fs::copy_file(fs::path(GRAMORA_TEST_DATA) / file, Path(file));
  const std::string lawn = R"({"class": "Lawn", "params": {"# Blades X": 8, "# Blades Y": 8, "11": 16, "12": 16}, )";
  Write("panel.json", R"({"nodes": [)" + lawn + R"("panel": [{"button": 3071, "answer": "app_wind.dat"}]}]})");
  Write("named.json", R"({"nodes": [)" + lawn + R"("vectorField": "app_wind.dat"}]})");
  Write("cancelled.json",
        R"({"nodes": [)" + lawn +
            R"("panel": [{"button": 3071, "answer": "app_wind.dat"}, {"button": 3071, "answer": null}]}]})");
  Write("plain.json", R"({"nodes": [)" + lawn + R"("panel": []}]})");
  for (const char* scene : {"panel", "named", "cancelled", "plain"})
    ASSERT_EQ(
        Run({"build", Path(std::string(scene) + ".json").string(), "-o", Path(std::string(scene) + ".obj").string()})
            .status,
        0)
        << scene;
  EXPECT_TRUE(ReadAll(Path("panel.obj")) == ReadAll(Path("named.obj")));
  EXPECT_TRUE(ReadAll(Path("cancelled.obj")) == ReadAll(Path("plain.obj")));
  EXPECT_FALSE(ReadAll(Path("panel.obj")) == ReadAll(Path("plain.obj")));
  ASSERT_EQ(Run({"save", Path("panel.json").string(), "-o", Path("saved.json").string()}).status, 0);
  const json saved = json::parse(ReadAll(Path("saved.json")));
  EXPECT_EQ(saved["nodes"][0]["params"]["4"], true);
  EXPECT_EQ(saved["nodes"][0]["params"]["5"], Path("app_wind.dat").string());
}

TEST_F(CliTest, SavedLawnWhoseFieldIsGoneBuildsUnbentWithOneWarning) {
  const fs::path scene = Write("lawn.json", LawnScene(dir_, true));
  ASSERT_EQ(Run({"save", scene.string(), "-o", Path("saved.json").string()}).status, 0);
  json saved = json::parse(ReadAll(Path("saved.json")));
  ASSERT_EQ(saved["nodes"][0]["params"]["4"], true);  // "VectormapEnabled"
  const std::string gone = Path("gone.dat").string();
  saved["nodes"][0]["params"]["5"] = gone;  // "vectormap name"
  Write("moved.json", saved.dump());
  const Result r = Run({"build", Path("moved.json").string(), "-o", Path("out.obj").string(), "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "gramora: warning: " + Path("moved.json").string() + ": nodes[0] (Lawn): the vector field '" + gone +
                       "' is missing; the lawn is built without it\n");
  // The same lawn without its field: the blades are unbent.
  const fs::path plain = Write("plain.json", LawnScene(dir_, false));
  ASSERT_EQ(Run({"build", plain.string(), "-o", Path("plain.obj").string()}).status, 0);
  EXPECT_EQ(ReadAll(Path("out.obj")), ReadAll(Path("plain.obj")));

  // A pipeline may insist: under --strict the warning is an error and nothing is written.
  fs::remove(Path("out.obj"));
  const Result strict = Run({"build", Path("moved.json").string(), "-o", Path("out.obj").string(), "--strict"});
  EXPECT_EQ(strict.status, 2);
  EXPECT_NE(strict.err.find("the vector field '" + gone + "' is missing"), std::string::npos) << strict.err;
  EXPECT_FALSE(fs::exists(Path("out.obj")));

  // A field that is there but is no regular file is still refused.
  saved["nodes"][0]["params"]["5"] = "/dev/zero";
  Write("moved.json", saved.dump());
  const Result device =
      Run({"build", Path("moved.json").string(), "-o", Path("out.obj").string(), "--allow-outside-paths"});
  EXPECT_EQ(device.status, 2);
  EXPECT_NE(device.err.find("nodes[0] (Lawn): cannot read the vector field '/dev/zero'"), std::string::npos)
      << device.err;
}

TEST_F(CliTest, TheFilesAFieldNamesStayBesideIt) {
  // A description beside the scene that names a data file one folder up.
  fs::create_directories(Path("scene"));
  fs::copy_file(fs::path(GRAMORA_TEST_DATA) / "app_wind.raw", Path("secret.raw"));
  std::ofstream(Path("scene/wind.dat")) << "Resolution: 4 4 1\nFormat: FLOAT3\nObjectFileName: ../secret.raw\n";
  std::ofstream(Path("scene/s.json")) << R"({"nodes": [{"class": "Lawn", "vectorField": "wind.dat"}]})";
  const Result r = Run({"build", Path("scene/s.json").string(), "-o", Path("out.obj").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("nodes[0] (Lawn): " + Path("scene/wind.dat").string() + " line 3: the data file '" +
                       Path("scene/../secret.raw").string() + "' lies outside the folder '" + Path("scene").string() +
                       "' (--allow-outside-paths reads it); the field holds no data"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(Path("out.obj")));
  EXPECT_EQ(
      Run({"build", Path("scene/s.json").string(), "-o", Path("out.obj").string(), "--allow-outside-paths"}).status, 0);

  // A saved lawn's relative field path starts from the saved scene's folder, wherever gramora runs.
  fs::create_directories(Path("saved"));
  const fs::path scene = Write("saved/lawn.json", LawnScene(Path("saved"), true));
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("bent.obj").string()}).status, 0);
  ASSERT_EQ(Run({"save", scene.string(), "-o", Path("saved/saved.json").string()}).status, 0);
  json saved = json::parse(ReadAll(Path("saved/saved.json")));
  saved["nodes"][0]["params"]["5"] = "app_wind.dat";
  saved["nodes"][0]["params"]["2"]["bitmap"] = "app_hills.png";
  Write("saved/relative.json", saved.dump());
  const Result relative = Run({"build", Path("saved/relative.json").string(), "-o", Path("relative.obj").string()});
  EXPECT_EQ(relative.status, 0) << relative.err;
  EXPECT_EQ(relative.err, "");
  EXPECT_EQ(ReadAll(Path("relative.obj")), ReadAll(Path("bent.obj")));
}

TEST_F(CliTest, LongCombinedMowingIsWarnedAboutFirstAndMayBeBounded) {
  // 20001 passes over a small lawn: quick here, but at a later frame it would run for hours.
  Write("mow.json", R"({"frame": 20000, "nodes": [{"class": "Lawn", "name": "L",
    "params": {"# Blades X": 2, "# Blades Y": 2},
    "modifiers": [{"class": "LawnMower", "params": {"Combine over time": true, "Radius": 1, "shape": 1}}]}]})");
  const Result warned = Run({"build", Path("mow.json").string(), "-o", Path("out.obj").string(), "--quiet"});
  EXPECT_EQ(warned.status, 0) << warned.err;
  EXPECT_EQ(warned.err,
            "gramora: warning: node \"L\": LawnMower: \"Combine over time\" at frame 20000 takes 20001 "
            "passes; this may run for a long time (--max-passes N bounds it)\n");
  fs::remove(Path("out.obj"));
  const Result bounded =
      Run({"build", Path("mow.json").string(), "-o", Path("out.obj").string(), "--max-passes", "1000"});
  EXPECT_EQ(bounded.status, 2);
  EXPECT_EQ(bounded.err,
            "gramora: node \"L\": LawnMower: \"Combine over time\" at frame 20000 takes 20001 passes, "
            "more than the 1000 allowed (--max-passes N bounds it)\n");
  EXPECT_FALSE(fs::exists(Path("out.obj")));
  EXPECT_EQ(Run({"build", Path("mow.json").string(), "-o", Path("out.obj").string(), "--strict"}).status, 2);
}

TEST_F(CliTest, SavingAPathThatIsNotUtf8IsBadInput) {
  // A folder named in another encoding: the map keeps its absolute path, which JSON cannot carry.
  const fs::path folder = Path("hills\xff");
  fs::create_directories(folder);
  fs::copy_file(fs::path(GRAMORA_TEST_DATA) / "app_hills.png", folder / "hills.png");
  std::ofstream(folder / "s.json")
      << R"({"nodes": [{"class": "Lawn", "params": {"Heightfieldmap": {"bitmap": "hills.png"}}}]})";
  const Result r = Run({"save", (folder / "s.json").string(), "-o", Path("saved.json").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("the text at /nodes/0/params/2/bitmap (a file path?) is not UTF-8"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_FALSE(fs::exists(Path("saved.json")));
}

TEST_F(CliTest, FrameChangesAnimatedMeshes) {
  const fs::path scene = Write("blades.json", kBladeScene);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("f0.obj").string(), "--frame", "0"}).status, 0);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("f30.obj").string(), "--frame", "30"}).status, 0);
  EXPECT_NE(ReadAll(Path("f0.obj")), ReadAll(Path("f30.obj")));
}

TEST_F(CliTest, ExportsReadBackWithMatchingMeshCounts) {
  const fs::path scene = Write("blades.json", kBladeScene);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("s.obj").string()}).status, 0);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("s.glb").string()}).status, 0);
  ASSERT_EQ(Run({"build", scene.string(), "-o", Path("s.ply").string()}).status, 0);

  tinyobj::ObjReader obj;
  ASSERT_TRUE(obj.ParseFromFile(Path("s.obj").string())) << obj.Error();
  ASSERT_EQ(obj.GetShapes().size(), 4u);  // four blades; the group head has no geometry
  // Default blades: 31 vertices and 29 faces; "#Weldings" 2 gives 61 and 87.
  EXPECT_EQ(obj.GetShapes()[0].name, "Blade01");
  EXPECT_EQ(obj.GetShapes()[0].mesh.num_face_vertices.size(), 87u);
  EXPECT_EQ(obj.GetAttrib().vertices.size(), 3u * (61 + 31 * 3));
  EXPECT_EQ(obj.GetAttrib().texcoords.size(), 2u * (61 + 31 * 3));  // the reader keeps u and v

  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string err, warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &err, &warn, Path("s.glb").string())) << err;
  EXPECT_EQ(model.meshes.size(), 4u);
  EXPECT_EQ(model.nodes.size(), 5u);
  EXPECT_EQ(model.scenes[0].nodes.size(), 3u);
  std::size_t indices = 0;
  for (const auto& m : model.meshes) indices += model.accessors[m.primitives[0].indices].count;
  EXPECT_EQ(indices, 3u * (87 + 29 * 3));

  const std::string ply = ReadAll(Path("s.ply"));
  EXPECT_NE(ply.find("element face " + std::to_string(87 + 29 * 3) + "\n"), std::string::npos);
}

TEST_F(CliTest, ListsPluginsAndParameters) {
  const Result plugins = Run({"plugins"});
  ASSERT_EQ(plugins.status, 0);
  EXPECT_NE(plugins.out.find("grass.dlo"), std::string::npos);
  EXPECT_NE(plugins.out.find("0x23281500"), std::string::npos);
  EXPECT_NE(plugins.out.find("GrassBlade"), std::string::npos);
  const Result params = Run({"params", "GrassBlade"});
  ASSERT_EQ(params.status, 0);
  for (const char* text : {"\"Thinning factor\"", "1.25", "0.5 to 1.65", "Thining factor", "\"Max length\""})
    EXPECT_NE(params.out.find(text), std::string::npos) << text;
}

// `gramora save -o FILE` writes the built-in scene for a user to start from; it builds to the same
// mesh, and reads as written for people: shortest single-precision numbers, ids in order.
TEST_F(CliTest, DefaultSceneSavesAndRebuildsToTheSameObj) {
  const Result built = Run({"build", "-o", Path("demo.obj").string()});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_NE(built.out.find("demo.obj (1 node, "), std::string::npos) << built.out;
  const Result saved = Run({"save", "-o", Path("default.json").string()});
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_EQ(saved.out, "wrote " + Path("default.json").string() + " (1 node)\n");
  ASSERT_EQ(Run({"build", Path("default.json").string(), "-o", Path("again.obj").string()}).status, 0);
  EXPECT_EQ(ReadAll(Path("demo.obj")), ReadAll(Path("again.obj")));

  const std::string text = ReadAll(Path("default.json"));
  EXPECT_NE(text.find("\"21\": 0.45,"), std::string::npos);  // "Blade length", not 0.44999998807907104
  EXPECT_LT(text.find("\"9\": null"), text.find("\"10\": false"));
  EXPECT_NE(text.find("\"keys\": [[0.0, [-140.0, -75.0, 0.0]], [30.0, [140.0, 75.0, 0.0]]]"), std::string::npos);
}

// Every bad input: exit status 2, exactly one line on standard error containing the expected
// words, and neither a new output file nor a changed old one.
TEST_F(CliTest, BadInputIsReportedOnceAndWritesNothing) {
  struct Case {
    const char* name;
    std::string scene;              // written to bad.json unless empty
    std::vector<std::string> args;  // "SCENE" and "OUT" are replaced
    std::string expect;
  };
  const std::string node = R"({"nodes": [{"class": "GrassBlade", )";
  const std::vector<Case> cases = {
      {"malformed JSON",
       "{\n  \"nodes\": [\n    {\"class\": 1,}\n  ]\n}",
       {"build", "SCENE", "-o", "OUT"},
       "bad.json:3:17: malformed JSON"},
      {"unreadable scene", "", {"build", "missing.json", "-o", "OUT"}, "cannot read"},
      {"unknown class",
       R"({"nodes": [{"class": "GrassBlad"}]})",
       {"build", "SCENE", "-o", "OUT"},
       "did you mean \"GrassBlade\""},
      {"unknown parameter",
       node + R"("params": {"Gravitty": 0.5}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "unknown parameter \"Gravitty\"; did you mean \"Gravity\"?"},
      {"unknown id", node + R"("params": {"99": 0.5}}]})", {"build", "SCENE", "-o", "OUT"}, "no parameter has id 99"},
      {"wrong value type",
       node + R"("params": {"size": "big"}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "expects a number"},
      {"keys on a switch",
       R"({"nodes": [{"class": "Lawn", "params": {"15": {"keys": [[0, 1]]}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "not animatable"},
      {"value out of range",
       node + R"("params": {"size": 5000}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "outside its range 0 to 1000; the parameter block clamps it to 1000"},
      {"key out of range",
       node + R"("params": {"Gravity": {"keys": [[0, 2]]}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "clamps it to 1"},
      {"ambiguous name",
       R"({"nodes": [{"class": "Lawn", "params": {"Length": 40}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "ambiguous: it names ids \"11\" and \"28\""},
      {"missing bitmap",
       R"({"nodes": [{"class": "Lawn", "params": {"Heightfieldmap": {"bitmap": "none.png"}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "none.png"},
      {"missing vector field",
       R"({"nodes": [{"class": "Lawn", "vectorField": "wind.dat"}]})",
       {"build", "SCENE", "-o", "OUT"},
       "wind.dat': No such file or directory"},
      {"vector field from a device",
       R"({"nodes": [{"class": "Lawn", "vectorField": "/dev/zero"}]})",
       {"build", "SCENE", "-o", "OUT", "--allow-outside-paths"},
       "cannot read the vector field '/dev/zero': not a regular file"},
      {"bitmap from a device",
       R"({"nodes": [{"class": "Lawn", "params": {"Probabilitymap": {"bitmap": "/dev/zero"}}}]})",
       {"build", "SCENE", "-o", "OUT", "--allow-outside-paths"},
       "cannot read the bitmap '/dev/zero': not a regular file"},
      {"bitmap outside the scene's folder",
       R"({"nodes": [{"class": "Lawn", "params": {"Heightfieldmap": {"bitmap": "../x.png"}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "the bitmap '" + dir_.parent_path().string() + "/x.png' lies outside the folder '" + dir_.string() +
           "' (--allow-outside-paths reads it)"},
      {"vector field outside the scene's folder",
       R"({"nodes": [{"class": "Lawn", "vectorField": "/etc/passwd"}]})",
       {"save", "SCENE", "-o", "OUT"},
       "the vector field '/etc/passwd' lies outside the folder"},
      {"shader given by path",
       R"({"nodes": [], "render": {"shader": "/tmp/evil.so"}})",
       {"save", "SCENE", "-o", "OUT"},
       "render.shader: \"shader\" names a shader library"},
      {"shader not in the shader folder",
       R"({"nodes": [], "render": {"shader": "nowhere"}})",
       {"render", "SCENE", "-o", "OUT.png"},
       "no shader library 'nowhere.so' in"},
      {"vector field on a blade",
       node + R"("vectorField": "wind.dat"}]})",
       {"build", "SCENE", "-o", "OUT"},
       "has no vector field"},
      {"panel step on a control the panel lacks",
       R"({"nodes": [{"class": "Lawn", "panel": [{"button": 3333}]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "nodes[0] (Lawn): panel[0]: the open panel has no enabled control 3333"},
      {"panel answer outside the scene's folder",
       R"({"nodes": [{"class": "Lawn", "panel": [{"button": 3071, "answer": "/etc/passwd"}]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "panel[0]: the file '/etc/passwd' lies outside the folder"},
      {"panel step of no kind",
       R"({"nodes": [{"class": "Lawn", "panel": [{"spinner": 1012, "button": 3071}]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "a panel step is"},
      {"modifier as object",
       R"({"nodes": [{"class": "LawnMower"}]})",
       {"build", "SCENE", "-o", "OUT"},
       "not an object"},
      {"unknown node key", node + R"("colour": 1}]})", {"build", "SCENE", "-o", "OUT"}, "unknown key \"colour\""},
      {"bad drag", node + R"("create": {"from": [0, 0]}}]})", {"build", "SCENE", "-o", "OUT"}, "\"create\" must be"},
      {"unwritable output",
       node + "\"name\": \"x\"}]}",
       {"build", "SCENE", "-o", "keep.txt/out.obj"},
       "keep.txt' is not a folder"},
      {"output name too long",
       node + "\"name\": \"x\"}]}",
       {"build", "SCENE", "-o", "out." + std::string(300, 'a') + ".obj"},
       "File name too long"},
      {"top view unwritable after the build",
       node + "\"name\": \"x\"}]}",
       {"build", "SCENE", "-o", "OUT", "--viewport", "out." + std::string(300, 'v') + ".svg"},
       "File name too long"},
      {"top view of another type",
       node + "\"name\": \"x\"}]}",
       {"build", "SCENE", "-o", "OUT", "--viewport", "out.png"},
       "the top view must end in .svg"},
      {"output type", node + "\"name\": \"x\"}]}", {"build", "SCENE", "-o", "out.stl"}, ".obj, .ply or .glb"},
      {"empty frame",
       node + "\"name\": \"x\"}]}",
       {"build", "SCENE", "-o", "OUT", "--frame", ""},
       "a frame must be a number"},
      {"bad frame",
       node + "\"name\": \"x\"}]}",
       {"build", "SCENE", "-o", "OUT", "--frame", "1e12"},
       "outside the time line"},
      {"save of malformed JSON", "[1,", {"save", "SCENE", "-o", "OUT"}, "malformed JSON"},
      {"geometry beyond single precision",
       node + R"("name": "B", "transform": [[3e38, 0, 0], [0, 1, 0], [0, 0, 1], [3e38, 0, 0]]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "node \"B\": its transform carries its mesh out to coordinates of"},
      {"geometry beyond single precision in glb",
       node + R"("name": "B", "transform": [[3e38, 0, 0], [0, 1, 0], [0, 0, 1], [3e38, 0, 0]]}]})",
       {"build", "SCENE", "-o", "out.glb"},
       "beyond single precision"},
      {"key given twice",
       "{\"nodes\": [{\"class\": \"GrassBlade\",\n  \"params\": {\"size\": 1, \"size\": 2}}]}",
       {"build", "SCENE", "-o", "OUT"},
       "bad.json:2:25: the key \"size\" is given twice in one object"},
      {"scene that is a device",
       "",
       {"build", "/dev/null", "-o", "OUT"},
       "cannot read '/dev/null': not a regular file"},
      {"number beyond a double",
       node + R"("params": {"size": 1e400}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "bad.json:1:59: malformed JSON: number overflow"},
      {"hostile nesting",
       R"({"nodes": [{"group": "g", "nodes": )" + std::string(100000, '[') + std::string(100000, ']') + "}]}",
       {"save", "SCENE", "-o", "OUT"},
       "nested deeper than 256 levels"},
      {"unknown format", R"({"format": "other", "nodes": []})", {"save", "SCENE", "-o", "OUT"}, "unknown \"format\""},
      {"unknown top-level key",
       R"({"nodes": [], "frames": 3})",
       {"build", "SCENE", "-o", "OUT"},
       "did you mean \"frame\""},
      {"nodes not a list", R"({"nodes": 5})", {"build", "SCENE", "-o", "OUT"}, "\"nodes\" must be a list"},
      {"node not an object", R"({"nodes": [5]})", {"build", "SCENE", "-o", "OUT"}, "nodes[0]: a node must be"},
      {"params not an object", node + R"("params": [1]}]})", {"build", "SCENE", "-o", "OUT"}, "\"params\" must be"},
      {"bad key pair",
       node + R"("params": {"size": {"keys": [[0]]}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "must be [frame, value]"},
      {"two keys on one tick",
       node + R"("params": {"Gravity": {"keys": [[0, 0.1], [10, 0.2], [0.001, 0.5]]}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "has two keys at frame 0.001"},
      {"two gizmo keys on one frame",
       R"({"nodes": [{"class": "GrassBlade", "modifiers": [{"class": "LawnMower", "gizmo": {"position": {"keys": [[5, [0, 0, 0]], [5, [1, 1, 1]]]}}}]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "two position keys at frame 5"},
      {"drag steps beyond int",
       node + R"("create": {"from": [0, 0], "to": [24, 0], "steps": 4294967297}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "steps must be a whole number from 1 to 1000"},
      {"empty group", R"({"nodes": [{"group": "G", "nodes": []}]})", {"build", "SCENE", "-o", "OUT"}, "a group needs"},
      {"bad gizmo",
       R"({"nodes": [{"class": "GrassBlade", "modifiers": [{"class": "LawnMower", "gizmo": {"position": [1, 2]}}]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "expected [x, y, z]"},
      {"object as modifier",
       node + R"("modifiers": [{"class": "GrassBlade"}]}]})",
       {"build", "SCENE", "-o", "OUT"},
       "not a modifier"},
      {"unknown procedural map",
       R"({"nodes": [{"class": "Lawn", "params": {"Probabilitymap": {"procedural": "plasma"}}}]})",
       {"build", "SCENE", "-o", "OUT"},
       "unknown procedural map \"plasma\""},
      {"render to another type", node + "\"name\": \"x\"}]}", {"render", "SCENE", "-o", "out.jpg"}, "must end in .png"},
      {"bad render section",
       R"({"nodes": [], "render": {"camera": {"fov": "wide"}}})",
       {"render", "SCENE", "-o", "OUT.png"},
       "render.camera.fov"},
      {"samples beyond the scene file's range",
       node + "\"name\": \"x\"}]}",
       {"render", "SCENE", "-o", "OUT.png", "--spp", "5000"},
       "--spp: Value 5000 not in range 1 to 4096"},
      {"misspelt command", "", {"bulid", "-o", "OUT"}, "unknown command 'bulid'; did you mean 'build'?"},
      {"unknown example",
       "",
       {"build", "--example", "defualt", "-o", "OUT"},
       "unknown example 'defualt'; did you mean 'default'? (examples: default"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(Path("bad.json"));
    if (!c.scene.empty()) Write("bad.json", c.scene);
    Write("keep.txt", "keep");
    const fs::path out = Path("out.obj");
    fs::remove(out);
    std::vector<std::string> args;
    for (const std::string& a : c.args) {
      if (a == "SCENE") args.push_back(Path("bad.json").string());
      else if (a == "OUT") args.push_back(out.string());
      else if (a == "OUT.png") args.push_back(Path("out.png").string());
      else if (a.find('/') != std::string::npos || a.starts_with("out.") || a == "missing.json")
        args.push_back(Path(a).string());
      else args.push_back(a);
    }
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.expect), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    for (const char* name : {"out.obj", "out.glb", "out.png", "out.jpg", "out.stl"})
      EXPECT_FALSE(fs::exists(Path(name))) << name;
    EXPECT_EQ(ReadAll(Path("keep.txt")), "keep");
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) files += e.path().filename().string()[0] == '.';
    EXPECT_EQ(files, 0) << "a temporary file was left behind";
  }
}

TEST_F(CliTest, RendersThePngOfAScene) {
  // --threads 0 means every core, as "threads": 0 does in the scene file.
  const Result r = Run({"render", "--example", "hills", "-o", Path("demo.png").string(), "--width", "32", "--height",
                        "24", "--spp", "1", "--threads", "0", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(Path("demo.png")).substr(1, 3), "PNG");
}

TEST_F(CliTest, RaysFromTheEdgeOfFloatRangeRenderNothingInsteadOfAborting) {
  // The camera's view direction overflows to infinity; the ray tracer would abort on such a ray.
  Write("far.json", R"({"nodes": [{"class": "GrassBlade"}], "render": {"width": 4, "height": 4, "spp": 1,
    "camera": {"position": [3e38, 0, 0], "target": [-3e38, 0, 0]},
    "lights": [{"type": "point", "position": [3e38, 3e38, 3e38]}]}})");
  const Result r = Run({"render", Path("far.json").string(), "-o", Path("far.png").string(), "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(Path("far.png")).substr(1, 3), "PNG");
}

TEST_F(CliTest, AFolderWithoutPlugInsKnowsNoClasses) {
  fs::create_directories(Path("empty"));
  const Result r = Run({"build", "-o", Path("x.obj").string(), "--plugins", Path("empty").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no plug-in classes are loaded"), std::string::npos) << r.err;
  EXPECT_EQ(Run({"plugins", "--plugins", Path("nowhere").string()}).status, 2);
}

TEST_F(CliTest, AnExportEndedBySignalLeavesNoTemporaryFile) {
  // Large enough that the export is still writing when the temporary file is first seen.
  Write("big.json", R"({"nodes": [{"class": "Lawn", "params": {"# Blades X": 200, "# Blades Y": 200}}]})");
  Write("out.obj", "old");
  const std::string gramora = std::string(GRAMORA_BIN_DIR) + "/gramora";
  const std::string scene = Path("big.json").string(), out = Path("out.obj").string();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::execl(gramora.c_str(), gramora.c_str(), "build", scene.c_str(), "-o", out.c_str(), "--quiet", nullptr);
    ::_exit(127);
  }
  // Temporary files; with `writing`, only those the export has begun to fill.
  const auto temporaries = [&](bool writing) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_))
      n += e.path().filename().string()[0] == '.' && (!writing || fs::file_size(e.path(), ec) > 0);
    return n;
  };
  int status = 0;
  bool seen = false;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (temporaries(true) > 0) {
      seen = true;
      ::kill(pid, SIGTERM);
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      break;
    }
    ::usleep(1000);
  }
  ASSERT_TRUE(seen) << "the export ended before it could be interrupted";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(temporaries(false), 0) << "the interrupted export left its temporary file";
  EXPECT_EQ(ReadAll(Path("out.obj")), "old");
}

TEST_F(CliTest, OutputsKeepTheirModeAndMayHaveNamesUpToTheSystemLimit) {
  // The temporary beside the target adds to the name; a 250-character name must still work.
  const std::string png = Path(std::string(246, 'p') + ".png").string();
  const std::string obj = Path(std::string(246, 'o') + ".obj").string();
  for (const std::string& out : {png, obj}) {
    SCOPED_TRACE(out.substr(out.size() - 4));
    Write("keep.txt", "x");
    fs::copy_file(Path("keep.txt"), out);
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const Result built = out == png
                             ? Run({"render", "-o", out, "--quiet", "--width", "8", "--height", "8", "--spp", "1"})
                             : Run({"build", "-o", out, "--quiet"});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_GT(fs::file_size(out), 100u);
  }
}

TEST_F(CliTest, FailedBuildLeavesExistingOutputUntouched) {
  Write("out.obj", "old");
  Write("bad.json", R"({"nodes": [{"class": "GrassBlade", "params": {"size": -1}}]})");
  EXPECT_EQ(Run({"build", Path("bad.json").string(), "-o", Path("out.obj").string()}).status, 2);
  EXPECT_EQ(ReadAll(Path("out.obj")), "old");
}

}  // namespace
