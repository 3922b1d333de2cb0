// The host's plug-in loader refusing what is no plug-in of this SDK: a library without the entry
// points, one built for another SDK version, a file that is no library, a missing file.
#include <gtest/gtest.h>

#include <string>

#include "sdk/classdir.h"
#include "sdk/module.h"
#include "tests/test_util.h"

namespace {

TEST(PluginLoaderRefusal, FilesThatAreNotPluginsOrOfAnotherVersion) {
  const test_util::TempDir dir;
  const std::string text = dir / "text.dlo";
  test_util::WriteText(text, "not a library\n");
  const std::string files[] = {std::string(GRAMORA_TEST_PLUGINS) + "/fake_noexports.so",
                               std::string(GRAMORA_TEST_PLUGINS) + "/fake_oldversion.so", text,
                               "/nonexistent/grass.dlo"};
  PluginLoader l;
  int classes = GetClassDirectory().Count();
  for (const std::string& f : files) {
    std::string error;
    EXPECT_EQ(l.Load(f, error), nullptr) << f;
    EXPECT_NE(error.find(f), std::string::npos) << error;
  }
  std::string error;
  l.Load(files[1], error);
  EXPECT_NE(error.find("0x1F401500"), std::string::npos) << error;
  EXPECT_TRUE(l.Plugins().empty());
  EXPECT_EQ(GetClassDirectory().Count(), classes);
}

}  // namespace
