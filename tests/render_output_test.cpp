// PNG encoding (sRGB values, errors as messages) and the "render" section reader.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/render_json.h"
#include "render/renderer.h"

namespace gr = gramora::render;

namespace {

// Encodes the image into memory; "" or the encoder's error.
std::string Encode(const gr::Image& img, std::vector<unsigned char>& png) {
  png.clear();
  return gr::EncodePng(img, [&](const void* data, std::size_t size) {
    png.insert(png.end(), static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size);
    return true;
  });
}

// Reads an 8-bit RGB PNG back through libpng's simplified API.
bool ReadPng(const std::vector<unsigned char>& png, int& w, int& h, std::vector<unsigned char>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return true;
}

TEST(RenderPng, EncodesSrgbValues) {
  gr::Image img;
  img.width = 3;
  img.height = 2;
  // Linear 0, 1, 0.5 (sRGB 188), 0.0031308 (the curve's knee, 10), above 1 and negative, NaN.
  img.rgb = {0.0f, 1.0f, 0.5f, 0.0031308f, 2.0f, -1.0f, std::nanf(""), 0.2158605f, 0.5f,
             0,    0,    0,    1,          1,    1,     0.5f,          0.5f,       0.5f};
  std::vector<unsigned char> png;
  ASSERT_EQ(Encode(img, png), "");
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  ASSERT_TRUE(ReadPng(png, w, h, rgb));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  const std::vector<unsigned char> expected = {0, 255, 188, 10,  255, 0,   0,   128, 188,
                                               0, 0,   0,   255, 255, 255, 188, 188, 188};
  EXPECT_EQ(rgb, expected);
}

TEST(RenderPng, FailuresAreMessages) {
  gr::Image img;
  img.width = 2;
  img.height = 2;
  img.rgb.assign(12, 0.5f);
  int blocks = 0;
  const std::string refused = gr::EncodePng(img, [&](const void*, std::size_t) { return ++blocks < 2; });
  EXPECT_EQ(refused, "the output refused the data");
  EXPECT_EQ(blocks, 2) << "nothing more is written after a refusal";
  img.rgb.resize(5);
  std::vector<unsigned char> png;
  EXPECT_NE(Encode(img, png).find("does not match"), std::string::npos);
  EXPECT_TRUE(png.empty());
}

TEST(RenderJson, ReadsEveryKey) {
  const auto section = nlohmann::json::parse(R"({
    "width": 320, "height": 200, "spp": 9, "threads": 2, "seed": 42, "max_depth": 3,
    "jitter": false, "progress": false, "background": [0.1, 0.2, 0.3], "ambient": [0, 0, 0],
    "camera": {"position": [1, 2, 3], "target": [0, 0, 1], "up": [0, 0, 1], "fov": 30},
    "lights": [
      {"type": "sun", "azimuth": 90, "elevation": 30, "angular_radius": 0.5, "intensity": 2, "samples": 8},
      {"type": "directional", "direction": [0, 0, -1], "color": [1, 0.5, 0]},
      {"type": "point", "position": [0, 0, 10], "intensity": 100},
      {"type": "rect", "position": [0, 0, 5], "u": [2, 0, 0], "v": [0, -2, 0]},
      {"type": "sky", "zenith": [0, 0, 1], "horizon": [1, 1, 1], "intensity": 0.25}],
    "ground": {"height": -0.5, "size": 50, "color": [0.2, 0.2, 0.2]},
    "shader": "verdigo2",
    "verdigo": {"tipColor": [1, 1, 0], "wetness": -0.5, "mode": 1, "tipStart": 0.7},
    "nodes": {"Lawn02": {"wetness": 0.3}}
  })");
  gr::Settings s;
  ASSERT_EQ(gr::ParseRenderSection(section, s), "");
  EXPECT_EQ(s.width, 320);
  EXPECT_EQ(s.height, 200);
  EXPECT_EQ(s.spp, 9);
  EXPECT_EQ(s.threads, 2);
  EXPECT_TRUE(s.fixedSeed);
  EXPECT_EQ(s.seed, 42u);
  EXPECT_EQ(s.maxDepth, 3);
  EXPECT_FALSE(s.jitter);
  EXPECT_FALSE(s.camera.automatic);
  EXPECT_EQ(s.camera.position.y, 2.0f);
  EXPECT_EQ(s.camera.fov, 30.0f);
  ASSERT_EQ(s.lights.size(), 5u);
  EXPECT_EQ(s.lights[0].type, gr::Light::Type::kDirectional);
  EXPECT_NEAR(s.lights[0].direction.y, -std::cos(30.0 * M_PI / 180.0), 1e-6);  // travels from +Y downwards
  EXPECT_NEAR(s.lights[0].direction.z, -0.5, 1e-6);
  EXPECT_EQ(s.lights[0].samples, 8);
  EXPECT_EQ(s.lights[1].color.g, 0.5f);
  EXPECT_EQ(s.lights[2].type, gr::Light::Type::kPoint);
  EXPECT_EQ(s.lights[3].edgeV.y, -2.0f);
  EXPECT_EQ(s.lights[4].type, gr::Light::Type::kSky);
  EXPECT_EQ(s.lights[4].color.r, 0.0f);
  EXPECT_EQ(s.lights[4].horizon.r, 1.0f);
  EXPECT_EQ(s.lights[4].intensity, 0.25f);
  EXPECT_FALSE(s.skyBackground);  // an explicit background
  EXPECT_EQ(s.ground.size, 50.0f);
  EXPECT_FALSE(s.ground.automaticHeight);
  EXPECT_EQ(s.ground.height, -0.5f);
  EXPECT_EQ(s.shaderName, "verdigo2");
  EXPECT_EQ(s.grass.tipColor.b, 0.0f);
  EXPECT_EQ(s.grass.mode, 1);
  // A node's values start from the section's verdigo values.
  EXPECT_EQ(s.GrassFor("Lawn02").wetness, 0.3f);
  EXPECT_EQ(s.GrassFor("Lawn02").tipStart, 0.7f);
  EXPECT_EQ(s.GrassFor("Other").wetness, -0.5f);
}

TEST(RenderJson, EmptySectionKeepsDefaults) {
  gr::Settings s;
  ASSERT_EQ(gr::ParseRenderSection(nlohmann::json::object(), s), "");
  EXPECT_TRUE(s.camera.automatic);
  EXPECT_TRUE(s.lights.empty());
  EXPECT_TRUE(s.ground.enabled);
  EXPECT_FALSE(s.fixedSeed);
  ASSERT_EQ(gr::ParseRenderSection(nlohmann::json::parse(R"({"ground": false})"), s), "");
  EXPECT_FALSE(s.ground.enabled);
}

TEST(RenderJson, ErrorsNameTheKeyAndLeaveSettingsUntouched) {
  struct Case {
    const char* json;
    const char* message;
  };
  const Case cases[] = {
      {R"([1, 2])", "render: expected an object"},
      {R"({"widht": 3})", "render.widht: unknown key"},
      {R"({"width": "big"})", "render.width: expected a whole number"},
      {R"({"width": 0})", "render.width: must lie between 1 and 16384"},
      {R"({"spp": 2.5})", "render.spp: expected a whole number"},
      {R"({"seed": -1})", "render.seed: expected a whole number from 0 to 4294967295"},
      {R"({"background": [1, 2]})", "render.background: expected an array of three numbers"},
      {R"({"camera": {"fov": "wide"}})", "render.camera.fov: expected a number"},
      {R"({"camera": {"fov": 180}})", "render.camera.fov: must lie between 1 and 170"},
      {R"({"camera": {"position": [0, 0, 1]}})", "render.camera: position and target go together"},
      {R"({"lights": {}})", "render.lights: expected an array"},
      {R"({"lights": [{"type": "spot"}]})", "render.lights[0].type: expected one of"},
      {R"({"lights": [{"type": "sun"}, {"type": "point"}]})", "render.lights[1].position: required for a point light"},
      {R"({"lights": [{"type": "sun", "samples": 0}]})", "render.lights[0].samples: must lie between 1 and 1024"},
      {R"({"lights": [{"type": "point", "position": [0,0,1], "azimuth": 3}]})",
       "render.lights[0].azimuth: unknown key"},
      {R"({"ground": {"height": "low"}})", "render.ground.height: expected a number or \"auto\""},
      {R"({"verdigo": {"wetness": true}})", "render.verdigo.wetness: expected a number"},
      {R"({"verdigo": {"tipcolor": [1, 1, 1]}})", "render.verdigo.tipcolor: unknown key"},
      {R"({"nodes": {"Lawn01": {"mode": 1.5}}})", "render.nodes.Lawn01.mode: expected a whole number"},
      {R"({"nodes": []})", "render.nodes: expected an object of node names"},
  };
  for (const Case& c : cases) {
    gr::Settings s;
    s.width = 77;
    const std::string error = gr::ParseRenderSection(nlohmann::json::parse(c.json), s);
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.json << " gave: " << error;
    EXPECT_EQ(s.width, 77) << c.json;
  }
}

}  // namespace
