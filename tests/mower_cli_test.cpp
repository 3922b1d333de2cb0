// The mower end to end: a scene file stacks it on grass objects made by grass.dlo, gramora builds
// and exports the mown meshes and draws the top view with the gizmo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

class MowerCliTest : public ::testing::Test {
 protected:
  fs::path Path(const std::string& name) const { return dir_.path() / name; }

  // Writes the scene and runs `gramora build` on it; returns the exit status.
  int Build(const std::string& scene, const std::string& obj, const std::string& svg) const {
    std::ofstream(Path("scene.json")) << scene;
    return test_util::RunGramora({"build", Path("scene.json").string(), "-o", obj, "--viewport", svg, "-q"},
                                 dir_.path())
        .status;
  }

  static std::string Read(const fs::path& p) { return test_util::ReadAll(p); }

  test_util::TempDir dir_;
};

// One straight blade (the blade object's defaults) under a mower with the given parameters.
std::string BladeScene(const std::string& mowerParams) {
  return R"({ "nodes": [ { "class": "GrassBlade", "name": "Blade",
      "modifiers": [ { "class": "LawnMower", "params": )" +
         mowerParams + R"(,
                       "gizmo": { "position": [0, 0, 0] } } ] } ] })";
}

struct ObjStats {
  float maxZ = -1e30f;
  int marked = 0;  // texture vertices with a cut mark
};

ObjStats Scan(const std::string& obj) {
  ObjStats s;
  std::istringstream in(obj);
  std::string tag;
  for (std::string line; std::getline(in, line);) {
    std::istringstream l(line);
    float a, b, c;
    if (!(l >> tag >> a >> b >> c)) continue;
    if (tag == "v") s.maxZ = std::max(s.maxZ, c);
    if (tag == "vt" && c != 0.0f) ++s.marked;
  }
  return s;
}

TEST_F(MowerCliTest, BladeUnderTheGizmoIsCutAndMarked) {
  struct Case {
    const char* params;
    float maxZ;  // the straight blade is 7.5 tall; cut at 0.5 its top sits on row 7 (3.5)
    // Two-column blade: row 14, the tip and row 13's column 0; row 13's column 1 belongs only to
    // the face that ends the body walk, so it keeps w = 0.
    int marked;
  };
  const Case cases[] = {
      {R"({ "shape": 1, "Radius": 1 })", 3.5f, 4},
      {R"({ "shape": 1, "Radius": 0.25 })", 3.5f, 4},  // the root corners lie exactly on the rim
      {R"({ "shape": 1, "Radius": 0.2 })", 7.5f, 0},
      {R"({ "shape": 0, "Width": 0, "Height": 0 })", 7.5f, 0},
      {R"({ "shape": 0, "Width": 0, "Height": 0, "Inverse selection": true })", 3.5f, 4},
      {R"({ "shape": 1, "Radius": 1, "Length": 1 })", 7.5f, 4},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Build(BladeScene(c.params), Path("out.obj").string(), Path("top.svg").string()), 0)
        << c.params << ": " << Read(Path("stderr"));
    const ObjStats s = Scan(Read(Path("out.obj")));
    EXPECT_NEAR(s.maxZ, c.maxZ, 1e-4f) << c.params;
    EXPECT_EQ(s.marked, c.marked) << c.params;
  }
}

TEST_F(MowerCliTest, ViewportShowsGrassAndGizmo) {
  const std::string scene = R"({ "frame": 10, "nodes": [ { "class": "Lawn",
      "params": { "11": 40, "12": 40, "13": 10, "14": 10 },
      "modifiers": [ { "class": "LawnMower", "params": { "shape": 1, "Radius": 8, "Combine over time": true },
                       "gizmo": { "position": { "keys": [[0, [-20, 0, 0]], [20, [20, 0, 0]]] } } } ] } ] })";
  ASSERT_EQ(Build(scene, Path("lawn.obj").string(), Path("top.svg").string()), 0) << Read(Path("stderr"));
  const std::string svg = Read(Path("top.svg"));
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_NE(svg.find("stroke=\"rgb(255,153,0)\""), std::string::npos);  // the gizmo's colour
  EXPECT_NE(svg.find("stroke=\"rgb(64,140,38)\""), std::string::npos);  // grass outlines
  EXPECT_GT(Scan(Read(Path("lawn.obj"))).marked, 0);
}

TEST_F(MowerCliTest, UnwritableViewportFailsWithoutOutput) {
  const int status =
      Build(BladeScene(R"({ "shape": 1, "Radius": 1 })"), Path("out.obj").string(), Path("missing/top.svg").string());
  EXPECT_EQ(status, 2);
  EXPECT_FALSE(fs::exists(Path("out.obj")));
  EXPECT_FALSE(Read(Path("stderr")).empty());
}

}  // namespace
