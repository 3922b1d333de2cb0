// The entry point and the exports, from a fresh process: the library is opened by hand so the
// state before the entry point runs can be seen.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "sdk/crt.h"
#include "sdk/module.h"
#include "sdk/plugapi.h"
#include "sdk/ui.h"

namespace {
std::vector<int> Sequence(int n) {
  std::vector<int> v;
  for (int i = 0; i < n; ++i) v.push_back(crt::rand());
  return v;
}

TEST(PluginEntry, ExportsBeforeAndAfterTheEntryPoint) {
  std::string path = std::string(GRAMORA_BIN_DIR) + "/grass.dlo";
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(dl, nullptr) << dlerror();
  auto describe = reinterpret_cast<LibDescriptionFn>(dlsym(dl, "LibDescription"));
  auto count = reinterpret_cast<LibNumberClassesFn>(dlsym(dl, "LibNumberClasses"));
  auto classDesc = reinterpret_cast<LibClassDescFn>(dlsym(dl, "LibClassDesc"));
  auto version = reinterpret_cast<LibVersionFn>(dlsym(dl, "LibVersion"));
  auto dllMain = reinterpret_cast<DllMainFn>(dlsym(dl, "DllMain"));
  auto resources = reinterpret_cast<LibResourcesFn>(dlsym(dl, kResourceSymbol));
  ASSERT_TRUE(describe && count && classDesc && version && dllMain && resources);

  EXPECT_EQ(describe(), nullptr) << "no module handle before the entry point";
  EXPECT_EQ(version(), 0x23281500u);
  EXPECT_EQ(count(), 4);
  for (int bad : {4, 5, -1, INT_MIN, INT_MAX}) EXPECT_EQ(classDesc(bad), nullptr) << bad;

  crt::srand(15322);
  const std::vector<int> seeded = Sequence(5);
  crt::srand(7);
  HINSTANCE module = MakeModuleRecord(path, dl, resources());
  int custom = CustomControlsInitCount(), common = CommonControlsInitCount();
  EXPECT_TRUE(dllMain(module, DLL_PROCESS_ATTACH, nullptr));
  EXPECT_EQ(Sequence(5), seeded);
  EXPECT_EQ(CustomControlsInitCount(), custom + 1);
  EXPECT_EQ(CommonControlsInitCount(), common + 1);
  EXPECT_STREQ(describe(), "Gramora by Tolvane");

  // One shared buffer: the later string is in the earlier pointer.
  const char* blade = classDesc(0)->ClassName();
  const char* bundle = classDesc(1)->ClassName();
  EXPECT_EQ(blade, bundle);
  EXPECT_STREQ(blade, "Grass bundle");
  EXPECT_EQ(describe(), blade);

  // A thread attach reseeds the sequence but initialises no controls again.
  Sequence(3);
  EXPECT_TRUE(dllMain(module, DLL_THREAD_ATTACH, nullptr));
  EXPECT_EQ(Sequence(5), seeded);
  EXPECT_TRUE(dllMain(module, DLL_THREAD_DETACH, nullptr));
  EXPECT_EQ(Sequence(5), seeded);
  EXPECT_EQ(CustomControlsInitCount(), custom + 1);
  EXPECT_EQ(CommonControlsInitCount(), common + 1);

  EXPECT_TRUE(dllMain(module, DLL_PROCESS_DETACH, nullptr));
  dlclose(dl);
  FreeModuleRecord(module);
}
}  // namespace
