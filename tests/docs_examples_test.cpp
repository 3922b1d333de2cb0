// Every JSON block in README.md and docs/*.md is a scene file that builds, and every example
// scene of docs/examples builds through `gramora build --example NAME`. A block that fails names
// its doc, its number and line, and gramora's own message.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = GRAMORA_SOURCE_DIR;

// One ```json block: where it is and its text.
struct DocBlock {
  std::string doc;  // "docs/render.md"
  int number = 0;   // 1 for the doc's first JSON block
  int line = 0;     // line of its opening fence
  std::string text;
  std::string name;  // a test name: "docs_render_md_1"
};

// Shown by GoogleTest instead of the block's bytes.
void PrintTo(const DocBlock& b, std::ostream* os) { *os << b.doc << " JSON block " << b.number; }

std::vector<DocBlock> DocBlocks() {
  std::vector<fs::path> docs = {kSource / "README.md"};
  for (const auto& e : fs::directory_iterator(kSource / "docs"))
    if (e.path().extension() == ".md") docs.push_back(e.path());
  std::sort(docs.begin() + 1, docs.end());
  std::vector<DocBlock> blocks;
  for (const fs::path& path : docs) {
    std::ifstream in(path);
    const std::string doc = fs::relative(path, kSource).string();
    std::string line;
    int lineNo = 0, number = 0;
    DocBlock* open = nullptr;
    while (std::getline(in, line)) {
      ++lineNo;
      if (open == nullptr && line == "```json") {
        blocks.push_back({doc, ++number, lineNo, "", ""});
        open = &blocks.back();
        std::string name = doc + "_" + std::to_string(number);
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        open->name = name;
      } else if (open != nullptr && line.rfind("```", 0) == 0) {
        open = nullptr;
      } else if (open != nullptr) {
        open->text += line + "\n";
      }
    }
  }
  return blocks;
}

std::vector<std::string> ExampleNames() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kSource / "docs" / "examples"))
    if (e.path().extension() == ".json") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

using test_util::ReadAll;

// A folder holding a copy of docs/examples, so that the files a block names lie beside it.
class DocsTest {
 protected:
  DocsTest() { fs::copy(kSource / "docs" / "examples", dir_, fs::copy_options::recursive); }

  // Runs gramora; "" on success, else its exit status and standard error.
  std::string Gramora(const std::vector<std::string>& args) const {
    const test_util::GramoraRun r = test_util::RunGramora(args, dir_);
    return r.status == 0 ? "" : "exit status " + std::to_string(r.status) + ": " + r.err;
  }

  // Builds a scene file, and renders it at a tiny size when it has a "render" section.
  std::string BuildAndRender(const std::vector<std::string>& scene, bool render) const {
    std::vector<std::string> build = {"build"};
    build.insert(build.end(), scene.begin(), scene.end());
    build.insert(build.end(), {"-o", (dir_ / "out.obj").string(), "--quiet"});
    if (std::string error = Gramora(build); !error.empty()) return "gramora build failed, " + error;
    if (!render) return "";
    std::vector<std::string> image = {"render"};
    image.insert(image.end(), scene.begin(), scene.end());
    image.insert(image.end(),
                 {"-o", (dir_ / "out.png").string(), "--width", "16", "--height", "12", "--spp", "1", "--quiet"});
    if (std::string error = Gramora(image); !error.empty()) return "gramora render failed, " + error;
    return "";
  }

  test_util::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

class DocJsonBlock : public DocsTest, public ::testing::TestWithParam<DocBlock> {};

TEST_P(DocJsonBlock, IsASceneThatBuilds) {
  const DocBlock& b = GetParam();
  const std::string at = b.doc + ", JSON block " + std::to_string(b.number) + " (line " + std::to_string(b.line) + ")";
  const std::string rule =
      " A ```json block is a whole scene file, with no comments or placeholders, that builds "
      "with the files of docs/examples beside it; show other text in a ``` block.";
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(b.text);
  } catch (const nlohmann::json::parse_error& e) {
    FAIL() << at << " is not JSON: " << e.what() << "." << rule;
  }
  ASSERT_TRUE(doc.is_object() && doc.contains("nodes")) << at << " is not a scene file (no \"nodes\")." << rule;
  std::ofstream(dir_ / "block.json") << b.text;
  const std::string error = BuildAndRender({(dir_ / "block.json").string()}, doc.contains("render"));
  EXPECT_EQ(error, "") << at << ": " << error << rule;
}

INSTANTIATE_TEST_SUITE_P(Docs, DocJsonBlock, ::testing::ValuesIn(DocBlocks()),
                         [](const ::testing::TestParamInfo<DocBlock>& info) { return info.param.name; });

class Example : public DocsTest, public ::testing::TestWithParam<std::string> {};

TEST_P(Example, BuildsByName) {
  const nlohmann::json doc = nlohmann::json::parse(ReadAll(kSource / "docs" / "examples" / (GetParam() + ".json")));
  const std::string error = BuildAndRender({"--example", GetParam()}, doc.contains("render"));
  EXPECT_EQ(error, "") << "docs/examples/" << GetParam() << ".json: " << error;
}

INSTANTIATE_TEST_SUITE_P(Docs, Example, ::testing::ValuesIn(ExampleNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
