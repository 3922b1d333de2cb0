// Loading grass.dlo through the host's loader for the plug-in suites.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "sdk/classdir.h"
#include "sdk/host.h"
#include "sdk/module.h"
#include "sdk/object.h"
#include "sdk/paramblock.h"

inline std::string GrassPath() { return std::string(GRAMORA_BIN_DIR) + "/grass.dlo"; }

// Loads the plug-in once per test program; every test starts from an empty scene.
class PluginTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    module = loader().Load(GrassPath(), error);
    ASSERT_NE(module, nullptr) << error;
  }
  static void TearDownTestSuite() { loader().UnloadAll(); }
  void TearDown() override { TheHost().ResetScene(); }

 public:
  static PluginLoader& loader() {
    static PluginLoader l;
    return l;
  }
  static ClassDesc* Desc(const char* name) { return GetClassDirectory().FindClassByName(name); }
  // A new blade with its defaults (freed by the caller with DeleteMe, or by its node).
  static SimpleObject* NewBlade() { return dynamic_cast<SimpleObject*>(Desc("GrassBlade")->Create(FALSE)); }
  static const Mesh& MeshAt(SimpleObject* obj, TimeValue t = 0) {
    BOOL needDelete = FALSE;
    return *obj->GetRenderMesh(t, nullptr, needDelete);
  }
  static inline HINSTANCE module = nullptr;
};
