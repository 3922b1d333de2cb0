// The mi_* functions a shader calls, on a prepared world: reflection, probes, light samples and the
// light list, Fresnel reflectance. Links the renderer's code itself, whose internals the shared
// library does not export.
#include <gtest/gtest.h>

#include <cmath>

#include "render/shader_interface.h"
#include "render/world.h"
#include "tests/render_scenes.h"

namespace gr = gramora::render;
using namespace render_test;

namespace {

// The mi_* functions on a prepared world: a lit square at z = 0 and a state one unit above it.
class RendererFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    gr::Scene scene;
    scene.meshes.push_back(Square(1.0f));
    settings = TopView();
    gr::Light rect;
    rect.type = gr::Light::Type::kRect;
    rect.position = {0.0f, 0.0f, 5.0f};
    rect.edgeU = {1.0f, 0.0f, 0.0f};
    rect.edgeV = {0.0f, -1.0f, 0.0f};
    rect.samples = 4;
    settings.lights = {Directional({0.0f, 0.0f, -1.0f}), rect};
    settings.background = {0.1f, 0.2f, 0.3f};
    ASSERT_EQ(gr::BuildWorld(world, scene, settings), "");
    ctx.world = &world;
    state = &ctx.states[0];
    state->point = {0.0f, 0.0f, 1.0f};
    state->dir = {0.0f, 0.0f, -1.0f};
    state->normal = {0.0f, 0.0f, 1.0f};
    state->normal_geom = {0.0f, 0.0f, 1.0f};
    state->child = &ctx.states[1];
    state->renderer_private = &ctx;
  }
  gr::Settings settings;
  gr::World world;
  gr::ThreadContext ctx;
  miState* state = nullptr;
};

TEST_F(RendererFunctions, ReflectionDirectionMirrorsAboutTheNormal) {
  struct Case {
    miVector dir, normal, expected;
  };
  const float h = 0.70710678f;
  for (const Case& c : {Case{{h, 0, -h}, {0, 0, 1}, {h, 0, h}}, Case{{0, 0, -1}, {0, 0, 1}, {0, 0, 1}},
                        Case{{1, 0, 0}, {0, 0, 1}, {1, 0, 0}}, Case{{0, -h, -h}, {0, 1, 0}, {0, h, -h}}}) {
    miState s{};
    s.dir = c.dir;
    s.normal = c.normal;
    miVector r{};
    mi_reflection_dir(&r, &s);
    EXPECT_NEAR(r.x, c.expected.x, 1e-6f);
    EXPECT_NEAR(r.y, c.expected.y, 1e-6f);
    EXPECT_NEAR(r.z, c.expected.z, 1e-6f);
  }
}

TEST_F(RendererFunctions, TraceReflectionShadesTheHitOrReturnsBackground) {
  miColor c{};
  miVector down{0.0f, 0.0f, -1.0f};
  EXPECT_EQ(mi_trace_reflection(&c, state, &down), miTRUE);
  // Lambert 0.5 under the overhead sun (1) and the rect light (about 1 / 25 at distance 5, facing).
  EXPECT_NEAR(c.r, 0.5f * (1.0f + 1.0f / 25.0f), 2e-3f);
  miVector up{0.0f, 0.0f, 1.0f};
  EXPECT_EQ(mi_trace_reflection(&c, state, &up), miFALSE);
  EXPECT_NEAR(c.b, 0.3f, 1e-6f);
  // Beyond the depth limit nothing is traced.
  state->reflection_level = settings.maxDepth;
  EXPECT_EQ(mi_trace_reflection(&c, state, &down), miFALSE);
  EXPECT_EQ(c.r, 0.0f);
}

TEST_F(RendererFunctions, ProbeFillsTheChildState) {
  miVector org{0.25f, 0.0f, 1.0f};
  miVector down{0.0f, 0.0f, -2.0f};
  ASSERT_EQ(mi_trace_probe(state, &down, &org), miTRUE);
  EXPECT_NEAR(state->child->point.x, 0.25f, 1e-6f);
  EXPECT_NEAR(state->child->point.z, 0.0f, 1e-6f);
  EXPECT_EQ(state->child->org.z, 1.0f);
  EXPECT_NEAR(state->child->dist, 1.0f, 1e-6f);
  miVector up{0.0f, 0.0f, 1.0f};
  EXPECT_EQ(mi_trace_probe(state, &up, &org), miFALSE);
  miVector beside{0.0f, 0.0f, -1.0f};
  miVector outside{5.0f, 0.0f, 1.0f};
  EXPECT_EQ(mi_trace_probe(state, &beside, &outside), miFALSE);
}

TEST_F(RendererFunctions, SampleLightCountsItsSamples) {
  struct Case {
    miTag tag;
    int samples;
  };
  for (const Case& c : {Case{1u, 1}, Case{2u, 4}, Case{3u, 0}, Case{0u, 0}}) {
    miInteger n = 0;
    miColor colour{};
    miVector dir{};
    miScalar dotNl = 0.0f;
    int calls = 0;
    while (mi_sample_light(&colour, &dir, &dotNl, state, c.tag, &n) && calls < 100) {
      ++calls;
      EXPECT_NEAR(std::sqrt(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z), 1.0f, 1e-5f);
      EXPECT_GT(dotNl, 0.9f);
      EXPECT_GT(colour.r, 0.0f);
    }
    EXPECT_EQ(calls, c.samples) << c.tag;
    EXPECT_EQ(n, c.samples) << c.tag;
  }
  miInteger count = 0;
  miTag* list = nullptr;
  EXPECT_EQ(mi_inclusive_lightlist(&count, &list, state), 2);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(list[0], 1u);
  EXPECT_EQ(list[1], 2u);
}

TEST_F(RendererFunctions, FresnelReflectance) {
  struct Case {
    miVector dir;
    float iorIn, iorOut, expected, tol;
  };
  // Normal incidence: ((1.33 - 1) / 2.33)^2; grazing tends to 1; from inside beyond the critical angle: 1.
  for (const Case& c :
       {Case{{0, 0, -1}, 1.0f, 1.33f, 0.020059f, 1e-5f}, Case{{0.99999f, 0, -0.0044721f}, 1.0f, 1.33f, 0.97f, 0.03f},
        Case{{0.8f, 0, -0.6f}, 1.33f, 1.0f, 1.0f, 0.0f}, Case{{0, 0, -1}, 0.0f, 1.33f, 0.0f, 0.0f}}) {
    state->dir = c.dir;
    EXPECT_NEAR(mi_fresnel_reflection(state, c.iorIn, c.iorOut), c.expected, c.tol);
  }
}

}  // namespace
