// verdigo.so as a renderer loads it, driven against scripted fake renderer modules: the entry
// protocol, the binding stubs and their messages, parameter evaluation and the shading steps.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/shader_interface.h"
#include "shader/r250.h"
#include "tests/fake_renderer/fake_renderer.h"

namespace {

template <typename Fn>
Fn Sym(void* lib, const char* name) {
  void* p = dlsym(lib, name);
  Fn fn = nullptr;
  std::memcpy(&fn, &p, sizeof(fn));
  return fn;
}

// The shader library and two fake renderer modules, loaded once per process.
struct Modules {
  void* shader = nullptr;
  void* fakeA = nullptr;
  void* fakeB = nullptr;
  verdigo_version_fn version = nullptr;
  verdigo_init_fn init = nullptr;
  verdigo_fn shade = nullptr;
  verdigo_exit_fn exit = nullptr;
  miSetModuleHandle_fn setHandle = nullptr;
  FakeScript* scriptA = nullptr;
  FakeScript* scriptB = nullptr;

  Modules() {
    shader = dlopen(GRAMORA_BIN_DIR "/verdigo.so", RTLD_NOW | RTLD_LOCAL);
    fakeA = dlopen(GRAMORA_BIN_DIR "/fake_renderer_a.so", RTLD_NOW | RTLD_LOCAL);
    fakeB = dlopen(GRAMORA_BIN_DIR "/fake_renderer_b.so", RTLD_NOW | RTLD_LOCAL);
    if (shader == nullptr || fakeA == nullptr || fakeB == nullptr) return;
    version = Sym<verdigo_version_fn>(shader, "verdigo_version");
    init = Sym<verdigo_init_fn>(shader, "verdigo_init");
    shade = Sym<verdigo_fn>(shader, "verdigo");
    exit = Sym<verdigo_exit_fn>(shader, "verdigo_exit");
    setHandle = Sym<miSetModuleHandle_fn>(shader, "miSetModuleHandle");
    scriptA = Sym<fake_script_fn>(fakeA, "fake_script")();
    scriptB = Sym<fake_script_fn>(fakeB, "fake_script")();
  }
};

Modules& M() {
  static Modules modules;
  return modules;
}

// A parameter record with room for eight lights, followed by its ghost (same layout).
struct Record {
  VerdigoParams p;
  miTag more[7];
};
struct RecordWithGhost {
  Record rec;
  Record ghost;
};

miColor C(float r, float g, float b) { return {r, g, b, 1.0f}; }

// A sample on a blade lying in the z = 0 plane seen from above, texture (u, v, w); with light straight
// above, the surface axis lies in the plane, so kd = 1 and the half vector is the normal (ks = 1).
struct Sample {
  miState state{};
  miState child{};
  miVector tex{0.5f, 1.0f, 0.0f};
  miShaderInstance instance{7u, 0};
  RecordWithGhost params{};

  Sample() {
    state.org = {0.0f, 0.0f, 5.0f};
    state.dir = {0.0f, 0.0f, -1.0f};
    state.point = {0.0f, 0.0f, 0.0f};
    state.normal = {0.0f, 0.0f, 1.0f};
    state.normal_geom = {0.0f, 0.0f, 1.0f};
    state.tex_list = &tex;
    state.tex_count = 1;
    state.child = &child;
    state.shader = &instance;
    VerdigoParams& p = params.rec.p;
    p.tipColor = C(0.8f, 0.6f, 0.2f);
    p.rootColor = C(0.1f, 0.3f, 0.05f);
    p.specularColor = C(0.0f, 0.0f, 0.0f);
    p.exposedColor = C(0.9f, 0.9f, 0.5f);
    p.glossiness = 0.0f;
    p.tipStart = 0.5f;
    p.wetness = 0.0f;
    p.mode = 0;
    p.i_light = 0;
    p.n_light = 1;
    p.light[0] = 11u;
  }
  miColor Shade() {
    miColor out{-1.0f, -1.0f, -1.0f, -1.0f};
    EXPECT_EQ(M().shade(&out, &state, &params.rec.p), miTRUE);
    return out;
  }
};

class Verdigo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(M().shader, nullptr) << dlerror();
    ASSERT_NE(M().fakeA, nullptr);
    *M().scriptA = FakeScript{};
    *M().scriptB = FakeScript{};
    script = M().scriptA;
    M().setHandle(M().fakeA);
    miBoolean flag = miFALSE;
    M().init(nullptr, nullptr, &flag);
    // One light, tag 11, one white sample straight above.
    script->lights[0] = {11u, 1, {{C(1.0f, 1.0f, 1.0f), {0.0f, 0.0f, 1.0f}}}};
    script->lightCount = 1;
    script->reflectionDir = {0.0f, 0.0f, 1.0f};
  }
  FakeScript* script = nullptr;
};

void ExpectColour(const miColor& got, float r, float g, float b, float tol = 1e-5f) {
  EXPECT_NEAR(got.r, r, tol);
  EXPECT_NEAR(got.g, g, tol);
  EXPECT_NEAR(got.b, b, tol);
  EXPECT_EQ(got.a, 1.0f);
}

// The values the shader's generator gives after seeding, as single-precision floats.
std::vector<float> Draws(int n) {
  gramora::verdigo::R250Generator g;
  g.seed(10021);
  std::vector<float> out;
  for (int i = 0; i < n; ++i) out.push_back(static_cast<float>(g.next()));
  return out;
}

TEST_F(Verdigo, VersionAndInitProtocol) {
  EXPECT_EQ(M().version(), 2);
  miBoolean flag = miFALSE;
  EXPECT_EQ(M().init(nullptr, nullptr, &flag), miTRUE);
  EXPECT_EQ(flag, 1);
  Sample s;
  flag = 7;
  EXPECT_EQ(M().init(&s.state, &s.params.rec.p, &flag), miTRUE);
  EXPECT_EQ(flag, 7);
  EXPECT_EQ(M().exit(&s.state, &s.params.rec.p), miTRUE);
  EXPECT_EQ(M().exit(&s.state, nullptr), miTRUE);
  EXPECT_EQ(M().version(), 2);
}

TEST_F(Verdigo, EveryInitRestartsTheRandomSequence) {
  // First draw after seeding is 0.534, the second 0.153: wetness 0.4 is dry, then wet.
  const std::vector<float> d = Draws(2);
  ASSERT_GT(d[0], 0.4f);
  ASSERT_LT(d[1], 0.4f);
  Sample s;
  s.params.rec.p.wetness = 0.4f;
  s.Shade();
  EXPECT_EQ(script->fresnelCalls, 0);
  s.Shade();
  EXPECT_EQ(script->fresnelCalls, 1);
  miBoolean flag = miFALSE;
  M().init(&s.state, &s.params.rec.p, &flag);  // per-instance init reseeds too
  s.Shade();
  EXPECT_EQ(script->fresnelCalls, 1);
}

TEST_F(Verdigo, BindingMessagesWithoutHandleRepeatUntilBound) {
  M().setHandle(nullptr);
  Sample s;
  s.params.rec.p.n_light = 0;
  testing::internal::CaptureStderr();
  const miColor first = s.Shade();
  const miColor second = s.Shade();
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string once =
      "DYNLOAD: dl_handle null\n"
      "dlsym failed on \"mi_reflection_dir\" (handle: 00000000 error: 22)\n";
  EXPECT_EQ(err, once + once);
  ExpectColour(first, 0.0f, 0.0f, 0.0f);
  ExpectColour(second, 0.0f, 0.0f, 0.0f);

  // Once a handle is given, the lookup succeeds and nothing more is printed.
  M().setHandle(M().fakeA);
  testing::internal::CaptureStderr();
  s.Shade();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(script->reflectionDirCalls, 1);
}

TEST_F(Verdigo, UnknownNameNamesFunctionHandleAndErrorAndShadesNeutrally) {
  // The shader library itself exports none of the renderer's functions.
  void* handle = M().shader;
  M().setHandle(handle);
  Sample s;
  s.params.rec.p.wetness = 1.0f;  // wet: Fresnel and the reflection ray are asked for too
  testing::internal::CaptureStderr();
  const miColor out = s.Shade();
  const std::string err = testing::internal::GetCapturedStderr();
  char hex[16];
  std::snprintf(hex, sizeof(hex), "%08x",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handle) & 0xFFFFFFFFu));
  for (const char* name : {"mi_sample_light", "mi_fresnel_reflection", "mi_reflection_dir"}) {
    const std::string line = std::string("dlsym failed on \"") + name + "\" (handle: " + hex + " error: 2)\n";
    EXPECT_NE(err.find(line), std::string::npos) << name << " in:\n" << err;
  }
  EXPECT_EQ(err.find("DYNLOAD"), std::string::npos);
  ExpectColour(out, 0.0f, 0.0f, 0.0f);  // no light samples, no Fresnel: black, alpha 1
}

TEST_F(Verdigo, NewHandleMakesEveryFunctionLookedUpAgain) {
  Sample s;
  s.Shade();
  EXPECT_EQ(M().scriptA->samplesGiven, 1);
  M().setHandle(M().fakeB);
  M().scriptB->lights[0] = script->lights[0];
  M().scriptB->lightCount = 1;
  s.Shade();
  EXPECT_EQ(M().scriptA->samplesGiven, 1);
  EXPECT_EQ(M().scriptA->reflectionDirCalls, 1);
  EXPECT_EQ(M().scriptB->samplesGiven, 1);
  EXPECT_EQ(M().scriptB->reflectionDirCalls, 1);
}

TEST_F(Verdigo, ParameterEvaluationFollowsTheGhostRule) {
  Sample s;
  VerdigoParams& p = s.params.rec.p;
  VerdigoParams& ghost = s.params.ghost.p;
  miColor substituteTip = C(0.25f, 0.5f, 1.0f);
  miInteger substituteCount = 0;
  script->phenField[0] = &p.tipColor;
  script->phenValue[0] = &substituteTip;
  script->phenField[1] = &p.n_light;
  script->phenValue[1] = &substituteCount;
  script->phenEntries = 2;
  ghost.tipColor.r = 1.0f;  // a non-zero first word marks the field as connected
  ghost.n_light = 1;

  // Ghost offset 0: the ghost is ignored and mi_phen_eval never asked.
  s.instance.ghost_offs = 0;
  ExpectColour(s.Shade(), 0.8f, 0.6f, 0.2f);
  EXPECT_EQ(script->phenCalls, 0);

  // Ghost offset set: only the marked fields are evaluated, in declaration-evaluation order.
  s.instance.ghost_offs = static_cast<miInteger>(sizeof(Record));
  ExpectColour(s.Shade(), 0.0f, 0.0f, 0.0f);  // the evaluated light count is 0
  ASSERT_EQ(script->phenCalls, 2);
  EXPECT_EQ(script->phenAsked[0], &p.tipColor);
  EXPECT_EQ(script->phenAsked[1], &p.n_light);

  script->phenCalls = 0;
  ghost.n_light = 0;
  ExpectColour(s.Shade(), 0.25f, 0.5f, 1.0f);  // the evaluated tip colour
  EXPECT_EQ(script->phenCalls, 1);
}

TEST_F(Verdigo, LightLoopAveragesEachLightOverItsSamples) {
  Sample s;
  VerdigoParams& p = s.params.rec.p;
  // The list starts at element i_light = 1: tags 21, 22, 23 (element 0 is never used).
  p.i_light = 1;
  p.n_light = 3;
  p.light[0] = 99u;
  s.params.rec.more[0] = 21u;
  s.params.rec.more[1] = 22u;
  s.params.rec.more[2] = 23u;
  const miVector up{0.0f, 0.0f, 2.0f};  // not unit: the shader normalises L
  script->lights[0] = {21u, 2, {{C(1.0f, 0.0f, 0.0f), up}, {C(0.0f, 1.0f, 0.0f), up}}};
  script->lights[1] = {22u, 1, {{C(0.0f, 0.0f, 2.0f), up}}};
  script->lights[2] = {23u, 0, {}};
  script->lights[3] = {99u, 1, {{C(100.0f, 100.0f, 100.0f), up}}};
  script->lightCount = 4;
  // Tip colour (v = 1 above tipStart) times (0.5, 0.5, 2).
  ExpectColour(s.Shade(), 0.4f, 0.3f, 0.4f);
  ASSERT_EQ(script->samplesGiven, 3);
  EXPECT_EQ(script->sampledTags[0], 21u);
  EXPECT_EQ(script->sampledTags[1], 21u);
  EXPECT_EQ(script->sampledTags[2], 22u);
}

TEST_F(Verdigo, LightListModes) {
  miTag rendererList[2] = {31u, 32u};
  script->lights[0] = {31u, 1, {{C(1.0f, 1.0f, 1.0f), {0.0f, 0.0f, 1.0f}}}};
  script->lights[1] = {32u, 1, {{C(1.0f, 1.0f, 1.0f), {0.0f, 0.0f, 1.0f}}}};
  script->lightCount = 2;
  script->list = rendererList;
  script->listCount = 2;
  struct Case {
    int mode;
    int nLight;
    int lightlistCalls;
    float scale;  // times the tip colour
  };
  for (const Case& c : {Case{0, 1, 0, 0.0f}, Case{1, 1, 1, 2.0f}, Case{2, 0, 1, 2.0f}, Case{3, 1, 0, 0.0f},
                        Case{0, 0, 0, 0.0f}, Case{-1, -5, 0, 0.0f}}) {
    Sample s;
    s.params.rec.p.mode = c.mode;
    s.params.rec.p.n_light = c.nLight;  // own list: tag 11, which this script does not know
    script->lightlistCalls = 0;
    ExpectColour(s.Shade(), 0.8f * c.scale, 0.6f * c.scale, 0.2f * c.scale);
    EXPECT_EQ(script->lightlistCalls, c.lightlistCalls) << "mode " << c.mode;
  }
}

TEST_F(Verdigo, WetnessCases) {
  // First draw after seeding: 0.534. Root share h: v = 0.25, tipStart 0.5 gives h = 0.5.
  const float r = Draws(1)[0];
  struct Case {
    float wetness;
    bool wet;
    float s;  // tip darkening of a wet sample
  };
  for (const Case& c : {Case{0.0f, false, 1.0f}, Case{0.5f, false, 1.0f}, Case{0.75f, true, 0.5f},
                        Case{1.0f, true, 0.0f}, Case{1.5f, true, -1.0f}}) {
    ASSERT_EQ(c.wetness > r, c.wet);
    SetUp();
    script->fresnel = 0.25f;
    script->reflected = C(0.4f, 0.8f, 1.2f);
    Sample s;
    s.tex = {0.5f, 0.25f, 0.0f};
    s.params.rec.p.wetness = c.wetness;
    const float f = c.wet ? 0.25f : 0.0f;
    auto expect = [&](float tip, float root, float refl) {
      return (0.5f * c.s * tip + 0.5f * root) * (1.0f - f) + f * refl;
    };
    ExpectColour(s.Shade(), expect(0.8f, 0.1f, 0.4f), expect(0.6f, 0.3f, 0.8f), expect(0.2f, 0.05f, 1.2f));
    EXPECT_EQ(script->fresnelCalls, c.wet ? 1 : 0) << c.wetness;
    EXPECT_EQ(script->traceReflectionCalls, c.wet ? 1 : 0) << c.wetness;
    EXPECT_EQ(script->reflectionDirCalls, 1) << c.wetness;
    if (c.wet) {
      EXPECT_EQ(script->iorIn, 1.0f);
      EXPECT_EQ(script->iorOut, 1.33f);
      EXPECT_EQ(script->tracedDir.z, 1.0f);
    }
  }
}

TEST_F(Verdigo, ReflectionNeedsDirectionAboveSurfaceAndFresnelAtMostOne) {
  struct Case {
    float fresnel;
    miVector dir;
    int traced;
    float f;  // Fresnel factor used
  };
  for (const Case& c : {Case{3.0f, {0.0f, 0.0f, 1.0f}, 1, 1.0f}, Case{0.5f, {0.0f, 1.0f, -0.1f}, 0, 0.5f},
                        Case{0.0f, {0.0f, 0.0f, 1.0f}, 0, 0.0f}}) {
    SetUp();
    script->fresnel = c.fresnel;
    script->reflectionDir = c.dir;
    script->reflected = C(1.0f, 1.0f, 1.0f);
    Sample s;
    s.params.rec.p.wetness = 0.75f;  // wet, base = 0.5 tip
    const float k = 1.0f - c.f;
    ExpectColour(s.Shade(), 0.4f * k + c.traced * c.f, 0.3f * k + c.traced * c.f, 0.1f * k + c.traced * c.f);
    EXPECT_EQ(script->traceReflectionCalls, c.traced);
  }
}

TEST_F(Verdigo, HighlightSharpnessFollowsGlossiness) {
  // L perpendicular to the surface axis (kd = 1) and 45 degrees off the normal: N.H = cos 22.5.
  const float cosHalf = 0.9238795f;
  struct Case {
    float glossiness;
    float exponent;
  };
  for (const Case& c : {Case{0.0f, 1.0f}, Case{0.5f, 2.0f}, Case{0.9f, 10.0f}, Case{1.0f, 10000.0f},
                        Case{5.0f, 10000.0f}, Case{-1.0f, 0.5f}}) {
    SetUp();
    script->lights[0] = {11u, 1, {{C(1.0f, 1.0f, 1.0f), {0.5f, 0.5f, 0.70710678f}}}};
    Sample s;
    s.tex = {0.0f, 1.0f, 0.0f};  // surface axis (-1, 1, 0) / sqrt 2
    s.params.rec.p.specularColor = C(1.0f, 1.0f, 1.0f);
    s.params.rec.p.tipColor = C(0.0f, 0.0f, 0.0f);
    s.params.rec.p.glossiness = c.glossiness;
    const float ks = std::pow(cosHalf, c.exponent);
    ExpectColour(s.Shade(), ks, ks, ks, 2e-5f);
  }
}

TEST_F(Verdigo, ColourAlongTheBlade) {
  struct Case {
    float v;
    float tipStart;
    float h;  // share of the tip colour
  };
  for (const Case& c : {Case{0.0f, 0.5f, 0.0f}, Case{0.25f, 0.5f, 0.5f}, Case{0.5f, 0.5f, 1.0f}, Case{0.9f, 0.5f, 1.0f},
                        Case{1.0f, 1.0f, 1.0f}, Case{1.0f, 2.0f, 0.5f}, Case{0.0f, 0.0f, 1.0f}, Case{0.3f, 0.0f, 1.0f},
                        Case{0.3f, -0.0f, 1.0f}, Case{0.5f, -1.0f, -0.5f}, Case{0.0f, -0.5f, 0.0f}}) {
    Sample s;
    s.tex = {0.5f, c.v, 0.0f};
    s.params.rec.p.tipStart = c.tipStart;
    const miColor out = s.Shade();
    ExpectColour(out, c.h * 0.8f + (1 - c.h) * 0.1f, c.h * 0.6f + (1 - c.h) * 0.3f, c.h * 0.2f + (1 - c.h) * 0.05f);
  }
}

TEST_F(Verdigo, WithoutTextureSpaceShadesAsRootRow) {
  Sample s;
  s.state.tex_list = nullptr;
  s.state.tex_count = 0;
  ExpectColour(s.Shade(), 0.1f, 0.3f, 0.05f);  // v = 0: the root colour; axis 0 gives kd = 1
}

struct ExposureCase {
  const char* name;
  float wetness;
  float v, w;
  int near;  // probes hitting within reach
  int far;   // probes hitting beyond reach
  float e;   // expected blend towards exposedColor
};

class VerdigoExposure : public Verdigo, public ::testing::WithParamInterface<ExposureCase> {};

TEST_P(VerdigoExposure, BlendsTowardsExposedColour) {
  const ExposureCase& c = GetParam();
  for (int i = 0; i < 16; ++i) {
    if (i < c.near) script->probes[i] = {1, 2.0f};
    else if (i < c.near + c.far) script->probes[i] = {1, 150.0f};
  }
  Sample s;
  s.tex = {0.5f, c.v, c.w};
  s.params.rec.p.tipStart = 0.0001f;  // base colour from the root on
  s.params.rec.p.wetness = c.wetness;
  s.params.rec.p.specularColor = C(0.1f, 0.2f, 0.3f);
  const miColor out = s.Shade();
  EXPECT_EQ(script->probeCalls, 16);
  EXPECT_EQ(script->fresnelCalls, 0);
  auto mix = [&](float tip, float exposed, float highlight) {
    return (1 - c.e) * tip + c.e * exposed + (1 - c.e) * highlight;
  };
  ExpectColour(out, mix(0.8f, 0.9f, 0.1f), mix(0.6f, 0.9f, 0.2f), mix(0.2f, 0.5f, 0.3f), 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(Cases, VerdigoExposure,
                         ::testing::Values(
                             // e = |wetness| * visibility / 4 / (top - v), top = 1.001 uncut, w + 0.001 cut; at most 1.
                             ExposureCase{"open", -0.5f, 0.5f, 0.0f, 0, 0, 0.5f * 0.25f / 0.501f},
                             ExposureCase{"quarterBlocked", -0.5f, 0.5f, 0.0f, 4, 2, 0.5f * 0.75f * 0.25f / 0.501f},
                             ExposureCase{"allBlocked", -2.0f, 0.5f, 0.0f, 16, 0, 0.0f},
                             ExposureCase{"nearTipClamped", -1.0f, 0.9f, 0.0f, 0, 0, 1.0f},
                             ExposureCase{"cutBelowTop", -0.2f, 0.2f, 0.3f, 0, 0, 0.2f * 0.25f / 0.101f},
                             ExposureCase{"cutAboveTopExtrapolates", -1.0f, 0.4f, 0.3f, 0, 0, 0.25f / (0.301f - 0.4f)},
                             ExposureCase{"atTopExactly", -1.0f, 1.001f, 0.0f, 0, 0, 1.0f},
                             ExposureCase{"atTopNothingVisible", -1.0f, 1.001f, 0.0f, 16, 0, 0.0f}),
                         [](const ::testing::TestParamInfo<ExposureCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(Verdigo, ProbesAreCosineDirectionsFromTheOffsetPoint) {
  Sample s;
  s.state.point = {1.0f, 2.0f, 3.0f};
  s.state.normal = {0.0f, 0.6f, 0.8f};
  s.params.rec.p.wetness = -1.0f;
  s.Shade();
  ASSERT_EQ(script->probeCalls, 16);
  // Draw 0 is the wet test; then r1, r2 for each probe: cos(theta) = sqrt(1 - r1).
  const std::vector<float> d = Draws(33);
  const miVector n = s.state.normal;
  for (int i = 0; i < 16; ++i) {
    const miVector dir = script->probeDirs[i];
    const float len = std::sqrt(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z);
    EXPECT_NEAR(len, 1.0f, 1e-5f) << i;
    const float cosTheta = dir.x * n.x + dir.y * n.y + dir.z * n.z;
    EXPECT_NEAR(cosTheta, std::sqrt(1.0f - d[1 + 2 * i]), 1e-4f) << i;
    const miVector o = script->probeOrigins[i];
    const miVector lift{o.x - 1.0f, o.y - 2.0f, o.z - 3.0f};
    const float along = lift.x * n.x + lift.y * n.y + lift.z * n.z;
    EXPECT_GT(along, 0.0f) << i;
    EXPECT_LT(along, 0.01f) << i;
    EXPECT_NEAR(lift.x * lift.x + lift.y * lift.y + lift.z * lift.z, along * along, 1e-9f) << i;
  }
}

TEST_F(Verdigo, NullArgumentsDoNotCrash) {
  Sample s;
  EXPECT_EQ(M().shade(nullptr, &s.state, &s.params.rec.p), miTRUE);
  miColor out{5.0f, 5.0f, 5.0f, 5.0f};
  EXPECT_EQ(M().shade(&out, nullptr, &s.params.rec.p), miTRUE);
  ExpectColour(out, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(M().shade(&out, &s.state, nullptr), miTRUE);
  ExpectColour(out, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(M().init(nullptr, nullptr, nullptr), miTRUE);
}

}  // namespace
