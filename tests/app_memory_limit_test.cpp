// gramora under an address-space limit (prlimit --as, as a job slot or a small container would set
// one): scenes that need more than the limit are refused with exit 2 and the estimate, before the
// memory is taken, instead of the process being killed or dropping the lawn with exit 0.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

// Runs gramora with its address space limited to `bytes`.
test_util::GramoraRun RunLimited(std::size_t bytes, const std::vector<std::string>& args, const fs::path& dir) {
  return test_util::RunGramora(args, dir, "prlimit --as=" + std::to_string(bytes) + " --");
}

TEST(MemoryLimit, OversizedScenesAreRefusedWithExitTwoInsteadOfBeingKilled) {
  const test_util::TempDir temp;
  const fs::path& dir = temp.path();
  std::ofstream(dir / "lawn.json") << R"({"nodes": [{"class": "Lawn", "name": "Big",
      "params": {"# Blades X": 600, "# Blades Y": 600}}]})";
  std::ofstream(dir / "field.dat") << "Resolution: 1024 1024 341\nObjectFileName: none.raw\n";
  std::ofstream(dir / "field.json") << R"({"nodes": [{"class": "Lawn", "vectorField": "field.dat"}]})";
  constexpr std::size_t kLimit = std::size_t{2} << 30;  // 2 GiB of address space
  struct Case {
    const char* scene;
    std::string expect;
  };
  const Case cases[] = {
      {"lawn.json", "node \"Big\": Lawn: the lawn of 360000 blades needs about 4.3 GB at its peak"},
      {"field.json", "field.dat: the field of 1024 x 1024 x 341 cells in 1 frame(s) needs about 5.4 GB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scene);
    const std::string out = (dir / "out.obj").string();
    fs::remove(out);
    const test_util::GramoraRun r = RunLimited(kLimit, {"build", (dir / c.scene).string(), "-o", out, "--quiet"}, dir);
    EXPECT_NE(r.status, -1) << "killed instead of refusing";
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.expect), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out));
  }
  // The same limit leaves room for an ordinary lawn.
  std::ofstream(dir / "small.json") << R"({"nodes": [{"class": "Lawn"}]})";
  const test_util::GramoraRun ok =
      RunLimited(kLimit, {"build", (dir / "small.json").string(), "-o", (dir / "s.obj").string(), "-q"}, dir);
  EXPECT_EQ(ok.status, 0) << ok.err;
}

}  // namespace
