// The scene-file helpers on their own: JSON error positions, name suggestions, frames, parameter
// keys and values on a real parameter block, and texture-map descriptions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/errors.h"
#include "app/json_file.h"
#include "app/path_policy.h"
#include "app/scene_params.h"
#include "app/scene_texmaps.h"
#include "app/suggest.h"
#include "sdk/paramblock.h"
#include "tests/test_util.h"

using nlohmann::json;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const InputError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(JsonFile, MalformedTextNamesLineAndColumn) {
  struct Case {
    const char* text;
    const char* where;
  };
  const Case cases[] = {
      {"{\n  \"a\": 1,\n  \"b\": }\n", "s.json:3:8:"},
      {"[1, 2", "s.json:1:5:"},
      {"{\"a\": tru}", "s.json:1:10:"},
      {"", "s.json:1:1:"},
      {"{\"a\": [0,\n 1e400]}", "s.json:2:6:"},  // beyond a double: no position of its own
      {"{\"a\": -1e999}", "s.json:1:12:"},
  };
  for (const Case& c : cases) {
    const std::string message = ErrorOf([&] { ParseJsonText(c.text, "s.json"); });
    EXPECT_EQ(message.rfind(c.where, 0), 0u) << c.text << " -> " << message;
    EXPECT_NE(message.find("malformed JSON"), std::string::npos);
  }
  EXPECT_NE(ErrorOf([] { ReadJsonFile("/nonexistent/scene.json"); }).find("cannot read"), std::string::npos);
  EXPECT_EQ(ErrorOf([] { ReadJsonFile("/tmp"); }), "cannot read '/tmp': it is a folder");
  EXPECT_NE(ErrorOf([] { ParseJsonText("[1e400]", "s.json"); }).find("number overflow parsing '1e400'"),
            std::string::npos);
}

// Saved files write single-precision values in their shortest form, and reading that text back
// gives the same float bit for bit: edge values and a hundred thousand bit patterns spread over
// the range (docs/architecture.md records a check of every float).
TEST(JsonFile, SavedSinglesAreShortAndReadBackBitIdentical) {
  EXPECT_EQ(json(ShortestDouble(0.15f)).dump(), "0.15");
  EXPECT_EQ(json(ShortestDouble(1.35f)).dump(), "1.35");
  EXPECT_EQ(json(ShortestDouble(280.0f)).dump(), "280.0");
  // 7.038531e-26 is the one positive float whose shortest text, read as a double, rounds to its
  // neighbour.
  std::vector<float> values = {0.0f,          -0.0f,       1e-45f, 1.17549435e-38f, 3.4028235e38f, -3.4028235e38f,
                               16777216.0f,   16777218.0f, 0.1f,   1.0f / 3.0f,     3.1415927f,    7.038531e-26f,
                               -7.038531e-26f};
  for (std::uint32_t bits = 0x00000001u; bits < 0xFF800000u; bits += 40993u) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (std::isfinite(f)) values.push_back(f);
  }
  for (float f : values) {
    const float back = static_cast<float>(json::parse(json(ShortestDouble(f)).dump()).get<double>());
    EXPECT_EQ(std::memcmp(&back, &f, sizeof f), 0) << f;
  }
}

TEST(JsonFile, LaysOutObjectsOneKeyALineAndPlainArraysOnOne) {
  const auto doc = nlohmann::ordered_json::parse(R"({"b": 1, "a": [1, [2, 3]], "n": [{"k": "v"}], "e": {}})");
  EXPECT_EQ(FormatJson(doc),
            "{\n  \"b\": 1,\n  \"a\": [1, [2, 3]],\n  \"n\": [\n    {\n      \"k\": \"v\"\n    }\n  ],\n"
            "  \"e\": {}\n}\n");
}

TEST(JsonFile, HostileNestingIsRefusedWhereItStarts) {
  // Deeper than the host walks: refused at the bracket that goes too deep, before any tree is built.
  const std::string deep = "{\"a\": \"[[[\", \"b\":\n" + std::string(400, '[') + std::string(400, ']') + "}";
  const std::string message = ErrorOf([&] { ParseJsonText(deep, "s.json"); });
  EXPECT_EQ(message.rfind("s.json:2:256:", 0), 0u) << message;
  EXPECT_NE(message.find("nested deeper than 256 levels"), std::string::npos) << message;
  // Brackets inside strings and ordinary depths pass.
  EXPECT_EQ(ErrorOf([] {
              ParseJsonText("[\"[[[[\\\"[[\", " + std::string(200, '[') + std::string(200, ']') + "]", "s.json");
            }),
            "(no error)");
}

TEST(Suggest, NearestNamesIgnoreCaseAndStayNear) {
  const std::vector<std::string> names = {"size", "Stiffness", "Gravity", "#Weldings", "Weld factor"};
  EXPECT_EQ(NearestNames("gravity", names), (std::vector<std::string>{"Gravity"}));
  EXPECT_EQ(NearestNames("Weldings", names), (std::vector<std::string>{"#Weldings"}));
  EXPECT_EQ(NearestNames("Stifness", names).front(), "Stiffness");
  EXPECT_TRUE(NearestNames("colour", names).empty());
  EXPECT_EQ(QuotedList({"a", "b", "c"}), "\"a\", \"b\" or \"c\"");
}

TEST(Frames, TicksAreRoundedAndBounded) {
  EXPECT_EQ(FrameToTicks(json(30), "f"), 4800);
  EXPECT_EQ(FrameToTicks(json(1.5), "f"), 240);
  EXPECT_EQ(FrameToTicks(json(-2), "f"), -320);
  // The range ends are inside; the message says what the range is.
  EXPECT_EQ(FrameToTicks(json(-12500000), "f"), -2000000000);
  EXPECT_EQ(ErrorOf([] { FrameToTicks(json(12500001), "f"); }),
            "f: frame 12500001 is outside the time line (frames -12500000 to 12500000)");
  // From the command line a frame can be NaN or infinite, which JSON would show as null.
  EXPECT_EQ(ErrorOf([] {
              FrameToTicks(json(std::nan("")), "--frame");
            }).rfind("--frame: frame nan is outside the time line", 0),
            0u);
  EXPECT_EQ(ErrorOf([] { FrameToTicks(json(-HUGE_VAL), "--frame"); }).rfind("--frame: frame -inf is outside", 0), 0u);
  EXPECT_NE(ErrorOf([] { FrameToTicks(json("3"), "f"); }).find("must be a number"), std::string::npos);
}

TEST(PathPolicy, SceneFilesStayBesideTheSceneAndShadersAreNamed) {
  namespace fs = std::filesystem;
  EXPECT_EQ(ResolveScenePath("/a/b.png", "/x"), "/a/b.png");
  EXPECT_EQ(ResolveScenePath("maps/../b.png", "/x/y"), "/x/y/b.png");
  const test_util::TempDir temp;
  const fs::path& root = temp.path();
  fs::create_directories(root / "scene" / "maps");
  fs::create_directories(root / "secret");
  std::ofstream(root / "secret" / "s.png") << "x";
  fs::create_symlink(root / "secret", root / "scene" / "way-out");
  const std::string scene = (root / "scene").string();
  struct Case {
    const char* name;
    bool inside;
  };
  const Case cases[] = {
      {"maps/h.png", true},     {"./h.png", true},      {"maps/../h.png", true},           {"../secret/s.png", false},
      {"way-out/s.png", false}, {"/etc/passwd", false}, {"maps/../../secret/s.png", false}};
  for (const Case& c : cases) {
    const std::string error = ErrorOf([&] { SceneFile(c.name, scene, "bitmap", "s.json"); });
    EXPECT_EQ(error == "(no error)", c.inside) << c.name << ": " << error;
    if (!c.inside) {
      EXPECT_NE(error.find("lies outside the folder '" + scene + "'"), std::string::npos) << error;
    }
  }
  SetPathPolicy({.allowOutsidePaths = true, .shaderDir = ""});
  EXPECT_EQ(ErrorOf([&] { SceneFile("../secret/s.png", scene, "bitmap", "s.json"); }), "(no error)");
  SetPathPolicy({});
  EXPECT_NE(ErrorOf([&] { SceneFile("/dev/zero", "/dev", "bitmap", "s.json"); }).find("not a regular file"),
            std::string::npos);

  for (const char* name : {"verdigo", "verdigo.so", "my shader.so"}) EXPECT_TRUE(IsLibraryName(name)) << name;
  for (const char* name : {"", ".", "..", "/opt/x.so", "../x.so", "lib/x.so", "./verdigo.so"})
    EXPECT_FALSE(IsLibraryName(name)) << name;
  EXPECT_NE(ErrorOf([] { CheckShaderName("/any/lib.so", "s.json: render.shader"); }).find("cannot give it by path"),
            std::string::npos);
}

// A block with one parameter of every kind, a duplicated internal name and an animatable float.
class ParamTest : public ::testing::Test {
 protected:
  ParamTest()
      : desc_(ParamBlockSpec{
            .id = 0,
            .int_name = "params",
            .params =
                {
                    {.id = 0,
                     .int_name = "size",
                     .type = TYPE_FLOAT,
                     .flags = P_ANIMATABLE,
                     .def = {.f = 1.0f},
                     .range = {0.0f, 1000.0f}},
                    {.id = 1, .int_name = "Count", .type = TYPE_INT, .def = {.i = 2}, .range = {1.0f, 10.0f}},
                    {.id = 2, .int_name = "On?", .type = TYPE_BOOL, .def = {.i = 0}},
                    {.id = 3, .int_name = "file", .type = TYPE_STRING},
                    {.id = 4, .int_name = "Length", .type = TYPE_FLOAT, .def = {.f = 1.0f}, .range = {0.0f, 5.0f}},
                    {.id = 7, .int_name = "Length", .type = TYPE_FLOAT, .def = {.f = 1.0f}, .range = {0.0f, 5.0f}},
                    {.id = 8, .int_name = "Offset", .type = TYPE_POINT3},
                    {.id = 9,
                     .int_name = "Turn",
                     .type = TYPE_FLOAT,
                     .flags = P_ANIMATABLE,
                     .def = {.f = 1.0f},
                     .range = {0.5f, 6.2831855f}},
                }}),
        block_(CreateParameterBlock2(&desc_, nullptr)) {}
  ~ParamTest() override { block_->DeleteThis(); }

  // Sets key = value through the scene-file path; returns the error or "".
  std::string Set(const std::string& key, const json& value) {
    return ErrorOf([&] {
      const ParamSource src{"scene.json: nodes[0]", "/scenes"};
      SetParamFromJson(*block_, FindParam(desc_, key, src), value, src);
    });
  }

  ParamBlockDesc2 desc_;
  IParamBlock2* block_;
};

TEST_F(ParamTest, ValuesOfEveryKind) {
  EXPECT_EQ(Set("size", 2.5), "(no error)");
  EXPECT_EQ(block_->GetFloat(0), 2.5f);
  EXPECT_EQ(Set("1", 7), "(no error)");
  EXPECT_EQ(block_->GetInt(1), 7);
  EXPECT_EQ(Set("On?", true), "(no error)");
  EXPECT_EQ(block_->GetInt(2), 1);
  EXPECT_EQ(Set("On?", 0), "(no error)");
  EXPECT_EQ(block_->GetInt(2), 0);
  EXPECT_EQ(Set("file", "wind.dat"), "(no error)");
  EXPECT_STREQ(block_->GetStr(3), "wind.dat");
  EXPECT_EQ(Set("Offset", json::array({1, 2, 3})), "(no error)");
  EXPECT_EQ(block_->GetPoint3(8), Point3(1.0f, 2.0f, 3.0f));
  EXPECT_EQ(Set("7", 4), "(no error)");
  EXPECT_EQ(block_->GetFloat(7), 4.0f);
  EXPECT_EQ(block_->GetFloat(4), 1.0f);
}

TEST_F(ParamTest, KeysMakeATrackThatAConstantReplaces) {
  ASSERT_EQ(Set("size", json::parse(R"({"keys": [[0, 1], [10, 3]]})")), "(no error)");
  EXPECT_EQ(block_->NumKeys(0), 2);
  EXPECT_FLOAT_EQ(block_->GetFloat(0, 5 * GetTicksPerFrame()), 2.0f);
  ASSERT_EQ(Set("size", 4), "(no error)");
  EXPECT_EQ(block_->NumKeys(0), 0);
  EXPECT_EQ(block_->GetFloat(0, 5 * GetTicksPerFrame()), 4.0f);
}

TEST_F(ParamTest, BadKeysAndValuesAreNamed) {
  struct Case {
    const char* key;
    json value;
    const char* expect;
  };
  const Case cases[] = {
      {"sise", 1, "unknown parameter \"sise\"; did you mean \"size\""},
      {"42", 1, "no parameter has id 42"},
      {"Length", 1, "ambiguous: it names ids \"4\" and \"7\""},
      {"size", "big", "expects a number or {\"keys\""},
      {"size", 1001, "outside its range 0 to 1000; the parameter block clamps it to 1000"},
      {"size", -0.5, "clamps it to 0"},
      {"size", json::parse(R"({"keys": [[0, 1], [5, 2000]]})"), "clamps it to 1000"},
      {"size", json::parse(R"({"keys": []})"), "non-empty list"},
      {"size", json::parse(R"({"keys": [[0, 1]], "x": 1})"), "alone"},
      {"Count", 2.5, "expects a whole number"},
      {"Count", 11, "clamps it to 10"},
      {"Count", json::parse(R"({"keys": [[0, 1]]})"), "not animatable"},
      {"On?", 2, "expects true or false"},
      {"file", 3, "expects a string"},
      {"Offset", json::array({1, 2}), "expects [x, y, z]"},
  };
  for (const Case& c : cases) {
    const std::string message = Set(c.key, c.value);
    EXPECT_NE(message.find(c.expect), std::string::npos) << c.key << " = " << c.value.dump() << " -> " << message;
    EXPECT_EQ(message.rfind("scene.json: nodes[0]: ", 0), 0u) << message;
  }
  EXPECT_EQ(block_->GetFloat(0), 1.0f);  // nothing refused reached the block
  EXPECT_EQ(block_->GetInt(1), 2);
}

// The block holds floats: a range bound written as the decimal the panel shows is in range, though
// the double it reads as lies just beyond the float bound; one float step further is not.
TEST_F(ParamTest, RangeBoundsAreTheSinglePrecisionValues) {
  struct Case {
    double value;
    const char* expect;
    float stored;
  };
  const Case cases[] = {
      {6.2831855, "(no error)", 6.2831855f},
      {6.28318548202514648, "(no error)", 6.2831855f},
      {0.5, "(no error)", 0.5f},
      {6.2831859, "= 6.2831859 is outside its range 0.5 to 6.2831855; the parameter block clamps it to 6.2831855",
       0.0f},
      {0.49999997, "clamps it to 0.5", 0.0f},
      {1e300, "clamps it to 6.2831855", 0.0f},
  };
  for (const Case& c : cases) {
    const std::string message = Set("Turn", c.value);
    EXPECT_NE(message.find(c.expect), std::string::npos) << c.value << " -> " << message;
    if (c.stored != 0.0f) {
      EXPECT_EQ(block_->GetFloat(9), c.stored) << c.value;
    }
  }
  EXPECT_EQ(Set("Turn", json::parse(R"({"keys": [[0, 0.5], [10, 6.2831855]]})")), "(no error)");
}

TEST(Texmaps, ProceduralMapsDescribeThemselvesBack) {
  const json specs[] = {
      json::parse(R"({"procedural": "constant", "color": [0.25, 0.5, 0.75, 1]})"),
      json::parse(R"({"procedural": "gradient", "color1": [0, 0, 0, 1], "color2": [1, 0.5, 0, 1], "direction": "v"})"),
      json::parse(R"({"procedural": "checker", "color1": [0, 0, 0, 1], "color2": [1, 1, 1, 1], "tiles": 8})"),
      json::parse(R"({"procedural": "noise", "color1": [0, 0, 0, 1], "color2": [1, 1, 1, 1], "size": 2.5, "seed": 9})"),
  };
  for (const json& spec : specs) {
    Texmap* map = MakeTexmap(spec, ".", "m");
    EXPECT_EQ(DescribeTexmap(map), spec);
    map->DeleteThis();
  }
}

TEST(Texmaps, BadDescriptionsAreNamed) {
  struct Case {
    const char* spec;
    const char* expect;
  };
  const Case cases[] = {
      {R"({"bitmap": "no/such.png"})", "cannot read the bitmap"},
      {R"({"bitmap": "a.png", "tiles": 2})", "takes only"},
      {R"({"procedural": "plasma"})", "unknown procedural map \"plasma\""},
      {R"({"procedural": "checker", "size": 2})", "has no option \"size\""},
      {R"({"procedural": "noise", "seed": 1.5})", "must be a whole number"},
      {R"({"procedural": "constant", "color": [1, 2]})", "must be [r, g, b]"},
      // Values the map could not hold or the save form could not write back.
      {R"({"procedural": "constant", "color": [1e300, 0, 0]})", "must be [r, g, b] (0 to 1)"},
      {R"({"procedural": "gradient", "color2": [0, -0.5, 1]})", "must be [r, g, b] (0 to 1)"},
      {R"({"procedural": "checker", "tiles": 4294967297})", "whole number from -2147483648 to 2147483647"},
      {R"({"procedural": "noise", "seed": -2147483649})", "whole number from"},
      {R"({"procedural": "noise", "size": 1e30})", "from -1e9 to 1e9"},
      {R"({"texture": "x"})", "a map is"},
  };
  for (const Case& c : cases) {
    const std::string message = ErrorOf([&] { MakeTexmap(json::parse(c.spec), "/tmp", "scene.json: map"); });
    EXPECT_NE(message.find(c.expect), std::string::npos) << c.spec << " -> " << message;
  }
}

TEST(Texmaps, BitmapPathsResolveAgainstTheSceneFolder) {
  Texmap* map = MakeTexmap(json::parse(R"({"bitmap": "app_hills.png"})"), GRAMORA_TEST_DATA, "m");
  EXPECT_EQ(DescribeTexmap(map)["bitmap"],
            std::filesystem::absolute(std::string(GRAMORA_TEST_DATA) + "/app_hills.png").lexically_normal().string());
  map->DeleteThis();
}

}  // namespace
