// The renderer on scenes with known answers: Lambert lighting, shadows, grass shaded end to end by
// verdigo.so, and reproducible images.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/renderer.h"
#include "render/vector_math.h"
#include "tests/render_scenes.h"

namespace gr = gramora::render;
using gramora::render::operator-;
using namespace render_test;

namespace {

float Centre(const gr::Image& img, int channel = 0) {
  return img.rgb[(static_cast<std::size_t>(img.height / 2) * img.width + img.width / 2) * 3 + channel];
}

TEST(Renderer, LambertQuadUnderDirectionalLight) {
  struct Case {
    const char* name;
    float angleDeg;  // between the light and the surface normal
    float expected;  // albedo 0.5 times cos
  };
  for (const Case& c : {Case{"overhead", 0.0f, 0.5f}, Case{"sixty", 60.0f, 0.25f},
                        Case{"grazing", 89.9f, 0.5f * 0.001745f}, Case{"below", 120.0f, 0.0f}}) {
    gr::Scene scene;
    scene.meshes.push_back(Square(1.0f));
    gr::Settings s = TopView();
    const float a = c.angleDeg * 3.14159265f / 180.0f;
    s.lights = {Directional({-std::sin(a), 0.0f, -std::cos(a)})};
    gr::Image img;
    ASSERT_EQ(gr::Render(scene, s, img), "") << c.name;
    EXPECT_NEAR(Centre(img), c.expected, 1e-4f) << c.name;
  }
}

TEST(Renderer, PointLightFallsOffAndCastsShadows) {
  // Point light of intensity 4 at (1, 0, 1): at the origin, 4 / 2 * cos 45 times albedo 0.5.
  const float lit = 0.5f * 4.0f / 2.0f * 0.70710678f;
  struct Case {
    const char* name;
    bool blocker;
    float expected;
  };
  for (const Case& c : {Case{"open", false, lit}, Case{"shadowed", true, 0.0f}}) {
    gr::Scene scene;
    scene.meshes.push_back(Square(1.0f));
    // A small plate half-way to the light, outside the part of the view the centre pixel sees.
    if (c.blocker) scene.meshes.push_back(Square(0.1f, 0.5f, 0.5f, 0.0f));
    gr::Settings s = TopView();
    gr::Light point;
    point.type = gr::Light::Type::kPoint;
    point.position = {1.0f, 0.0f, 1.0f};
    point.intensity = 4.0f;
    s.lights = {point};
    gr::Image img;
    ASSERT_EQ(gr::Render(scene, s, img), "") << c.name;
    EXPECT_NEAR(Centre(img), c.expected, 1e-4f) << c.name;
  }
}

TEST(Renderer, RectLightAveragesItsSamples) {
  // A small rectangle facing down at height 2: close to a point light of the same intensity.
  gr::Scene scene;
  scene.meshes.push_back(Square(1.0f));
  gr::Settings s = TopView();
  gr::Light rect;
  rect.type = gr::Light::Type::kRect;
  rect.position = {0.0f, 0.0f, 2.0f};
  rect.edgeU = {0.01f, 0.0f, 0.0f};
  rect.edgeV = {0.0f, -0.01f, 0.0f};  // u x v points down, towards the square
  rect.intensity = 8.0f;
  rect.samples = 9;
  s.lights = {rect};
  gr::Image img;
  ASSERT_EQ(gr::Render(scene, s, img), "");
  EXPECT_NEAR(Centre(img), 0.5f * 8.0f / 4.0f, 1e-3f);
  // Turned away, it lights nothing.
  s.lights[0].edgeV = {0.0f, 0.01f, 0.0f};
  ASSERT_EQ(gr::Render(scene, s, img), "");
  EXPECT_EQ(Centre(img), 0.0f);
}

TEST(Renderer, BackgroundAndGround) {
  gr::Scene scene;  // nothing but the ground
  gr::Settings s = TopView();
  s.background = {0.1f, 0.2f, 0.3f};
  s.lights = {Directional({0.0f, 0.0f, -1.0f})};
  gr::Image img;
  ASSERT_EQ(gr::Render(scene, s, img), "");
  EXPECT_NEAR(Centre(img, 2), 0.3f, 1e-6f);
  s.ground.enabled = true;
  s.ground.automaticHeight = false;
  s.ground.height = -1.0f;
  s.ground.color = {0.2f, 0.4f, 0.6f};
  ASSERT_EQ(gr::Render(scene, s, img), "");
  EXPECT_NEAR(Centre(img, 1), 0.4f, 1e-5f);
}

TEST(Renderer, SkyLightsAnOpenSurfaceAndShowsItsGradient) {
  // A uniform sky lights an open, level Lambert surface to albedo x intensity x colour.
  gr::Scene scene;
  scene.meshes.push_back(Square(1.0f));
  gr::Settings s = TopView();
  gr::Light sky = gr::SkyLight(0.5f);
  sky.color = sky.horizon = {0.2f, 0.4f, 0.8f};
  sky.samples = 400;
  s.lights = {sky};
  gr::Image img;
  ASSERT_EQ(gr::Render(scene, s, img), "");
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(Centre(img, c), 0.05f * (1 << c), 0.0005f * (1 << c)) << c;

  // Rays that hit nothing see the horizon colour when level and the zenith colour straight up;
  // an explicit background turns the sky off for them.
  s.lights = {gr::SkyLight()};
  s.camera.position = {0.0f, 0.0f, 1.0f};
  for (const auto& [target, expected] : {std::pair{gr::Vec3{0.0f, 10.0f, 1.0f}, s.lights[0].horizon},
                                         std::pair{gr::Vec3{0.0f, 0.0f, 10.0f}, s.lights[0].color}}) {
    s.camera.target = target;
    ASSERT_EQ(gr::Render(gr::Scene{}, s, img), "");
    EXPECT_NEAR(Centre(img, 1), expected.g, 1e-3f);
  }
  s.skyBackground = false;
  ASSERT_EQ(gr::Render(gr::Scene{}, s, img), "");
  EXPECT_EQ(Centre(img, 2), 0.0f);
}

// A grass square with texture v = 1 everywhere under an overhead sun: verdigo shades it with its
// tip colour exactly (kd = 1, no highlight), through dlopen, the module handle and the bindings.
gr::Mesh GrassSquare(float v, float wetness) {
  gr::Mesh m = Square(1.0f);
  m.name = "Lawn01";
  m.grass = true;
  m.uvw = {0, v, 0, 1, v, 0, 1, v, 0, 0, v, 0};
  m.verdigo.emplace();
  m.verdigo->tipColor = {0.3f, 0.7f, 0.1f};
  m.verdigo->rootColor = {0.0f, 0.1f, 0.0f};
  m.verdigo->specularColor = {0.0f, 0.0f, 0.0f};
  m.verdigo->tipStart = 0.5f;
  m.verdigo->wetness = wetness;
  return m;
}

TEST(RendererGrass, VerdigoShadesGrassEndToEnd) {
  gr::Scene scene;
  scene.meshes.push_back(GrassSquare(1.0f, 0.0f));
  gr::Settings s = TopView();
  s.lights = {Directional({0.0f, 0.0f, -1.0f})};
  gr::Image img;
  gr::RenderStats stats;
  ASSERT_EQ(gr::Render(scene, s, img, &stats), "");
  EXPECT_NEAR(Centre(img, 0), 0.3f, 1e-5f);
  EXPECT_NEAR(Centre(img, 1), 0.7f, 1e-5f);
  EXPECT_NEAR(Centre(img, 2), 0.1f, 1e-5f);
  EXPECT_EQ(stats.cameraRays, 21u * 21u);
  EXPECT_GT(stats.shadedSamples, 0u);
  EXPECT_LE(stats.shadedSamples, stats.cameraRays);
}

TEST(RendererGrass, MeshesWithoutOwnValuesTakeTheSettingsByNodeName) {
  struct Case {
    const char* name;
    float red;  // tip colour's red that reaches the centre pixel
  };
  for (const Case& c : {Case{"Lawn01", 0.9f}, Case{"Other", 0.2f}}) {
    gr::Scene scene;
    scene.meshes.push_back(GrassSquare(1.0f, 0.0f));
    scene.meshes[0].name = c.name;
    scene.meshes[0].verdigo.reset();
    gr::Settings s = TopView();
    s.lights = {Directional({0.0f, 0.0f, -1.0f})};
    s.grass.tipColor = {0.2f, 0.0f, 0.0f};
    s.grass.specularColor = {0.0f, 0.0f, 0.0f};
    s.grass.tipStart = 0.5f;
    s.grassByNode["Lawn01"] = s.grass;
    s.grassByNode["Lawn01"].tipColor = {0.9f, 0.0f, 0.0f};
    gr::Image img;
    ASSERT_EQ(gr::Render(scene, s, img), "");
    EXPECT_NEAR(Centre(img, 0), c.red, 1e-5f) << c.name;
  }
}

TEST(RendererGrass, ExposureDarkensWhereProbesHitAnOverhang) {
  // wetness < 0 blends towards exposedColor by the share of free probes; a roof right above
  // blocks the probes (and the sun), so the covered blade keeps more of its own colour.
  gr::Scene open, covered;
  open.meshes.push_back(GrassSquare(0.5f, -0.5f));
  open.meshes.back().verdigo->exposedColor = {1.0f, 1.0f, 1.0f};
  covered = open;
  covered.meshes.push_back(Square(50.0f, 0.2f));
  gr::Settings s = TopView();
  s.camera.position = {0.0f, 0.0f, 0.1f};  // below the roof
  s.camera.fov = 60.0f;
  gr::Light point;
  point.type = gr::Light::Type::kPoint;
  point.position = {0.0f, 0.0f, 0.15f};
  point.intensity = 0.0225f;  // 1 at the blade
  s.lights = {point};
  gr::Image a, b;
  ASSERT_EQ(gr::Render(open, s, a), "");
  ASSERT_EQ(gr::Render(covered, s, b), "");
  // e = 0.5 * visibility / 4 / (1.001 - 0.5): open ~0.2495, covered 0 (all probes blocked).
  const float eOpen = 0.5f * 0.25f / 0.501f;
  EXPECT_NEAR(Centre(a, 0), (1 - eOpen) * 0.3f + eOpen, 1e-3f);
  EXPECT_NEAR(Centre(b, 0), 0.3f, 1e-3f);
}

TEST(RendererGrass, FixedSeedSingleThreadImageIsReproducible) {
  gr::Scene scene;
  scene.meshes.push_back(GrassSquare(0.5f, -0.7f));
  scene.meshes.push_back(GrassSquare(0.8f, 0.6f));
  scene.meshes.back().positions = {-0.5f, -0.5f, 0.3f, 0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.6f, -0.5f, 0.5f, 0.3f};
  gr::Settings s = TopView();
  s.width = 32;
  s.height = 24;
  s.spp = 4;
  s.jitter = true;
  s.seed = 99;
  s.ground.enabled = true;
  s.lights = {gr::SunLight(30.0f, 50.0f, 1.0f)};
  gr::Renderer renderer;
  ASSERT_EQ(renderer.Prepare(scene, s), "");
  gr::Image a, b;
  ASSERT_EQ(renderer.Render(a), "");
  ASSERT_EQ(renderer.Render(b), "");
  EXPECT_EQ(a.rgb, b.rgb);
  gr::Image c;
  ASSERT_EQ(gr::Render(scene, s, c), "");
  EXPECT_EQ(a.rgb, c.rgb);
}

TEST(RendererGrass, ImageWithoutRandomShadingDoesNotDependOnThreads) {
  gr::Scene scene;
  scene.meshes.push_back(GrassSquare(0.7f, 0.0f));
  scene.meshes.push_back(Square(0.3f, 0.4f));
  gr::Settings s = TopView();
  s.width = 67;
  s.height = 45;
  s.spp = 3;
  s.jitter = true;
  s.seed = 5;
  s.ground.enabled = true;
  s.lights = {gr::SunLight(10.0f, 40.0f, 2.0f)};
  gr::Image one, two;
  ASSERT_EQ(gr::Render(scene, s, one), "");
  s.threads = 2;
  ASSERT_EQ(gr::Render(scene, s, two), "");
  EXPECT_EQ(one.rgb, two.rgb);
}

TEST(Renderer, AutomaticCameraFramesTheScene) {
  for (float aspect : {0.5f, 1.0f, 16.0f / 9.0f}) {
    const gr::Vec3 lo{-3.0f, 1.0f, 0.0f}, hi{5.0f, 2.0f, 0.5f};
    const gr::Camera c = gr::FrameBox(lo, hi, 40.0f, aspect);
    // Every corner projects inside the image.
    const miVector eye{c.position.x, c.position.y, c.position.z};
    const miVector f = gr::Normalised(miVector{c.target.x, c.target.y, c.target.z} - eye);
    const miVector r = gr::Normalised(gr::Cross(f, miVector{0, 0, 1}));
    const miVector u = gr::Cross(r, f);
    const float t = std::tan(20.0f * 3.14159265f / 180.0f);
    for (int k = 0; k < 8; ++k) {
      const miVector p{k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z};
      const miVector d = p - eye;
      const float z = gr::Dot(d, f);
      ASSERT_GT(z, 0.0f);
      EXPECT_LE(std::fabs(gr::Dot(d, r) / z), t * aspect) << k;
      EXPECT_LE(std::fabs(gr::Dot(d, u) / z), t) << k;
    }
  }
}

TEST(Renderer, ReportsBadInputInsteadOfFailing) {
  struct Case {
    const char* name;
    void (*mutate)(gr::Scene&, gr::Settings&);
    const char* message;  // part of the error
  };
  const Case cases[] = {
      {"index", [](gr::Scene& sc, gr::Settings&) { sc.meshes[0].indices[2] = 4; },
       "vertex index 4 out of range (4 vertices)"},
      {"triples", [](gr::Scene& sc, gr::Settings&) { sc.meshes[0].positions.pop_back(); }, "positions are not triples"},
      {"normals", [](gr::Scene& sc, gr::Settings&) { sc.meshes[0].normals.resize(3); }, "normals do not match"},
      {"nan", [](gr::Scene& sc, gr::Settings&) { sc.meshes[0].positions[0] = std::nanf(""); }, "not finite"},
      {"width", [](gr::Scene&, gr::Settings& s) { s.width = 0; }, "image size must be positive"},
      {"spp", [](gr::Scene&, gr::Settings& s) { s.spp = 0; }, "samples per pixel"},
      {"shader",
       [](gr::Scene& sc, gr::Settings& s) {
         sc.meshes[0].grass = true;
         s.shaderPath = "/nonexistent/verdigo.so";
       },
       "cannot load shader library /nonexistent/verdigo.so"},
  };
  for (const Case& c : cases) {
    gr::Scene scene;
    scene.meshes.push_back(Square(1.0f));
    gr::Settings s = TopView();
    c.mutate(scene, s);
    gr::Image img;
    const std::string error = gr::Render(scene, s, img);
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
  }
  gr::Renderer unprepared;
  gr::Image img;
  EXPECT_NE(unprepared.Render(img), "");
}

}  // namespace
