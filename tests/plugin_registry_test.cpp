// The plug-in as the host's loader sees it: registry, string table, dialog 101, version record.
#include <cstring>

#include "sdk/ui.h"
#include "tests/plugin_test_util.h"

namespace {
using RegistryTest = PluginTest;

TEST_F(RegistryTest, FourClassesInRegistryOrder) {
  struct Row {
    const char* name;
    const char* internal;
    SClass_ID super;
    Class_ID id;
  } rows[] = {
      {"Grass blade", "GrassBlade", GEOMOBJECT_CLASS_ID, Class_ID(0x25ff6c8e, 0x4dfb339a)},
      {"Grass bundle", "GrassBundle", GEOMOBJECT_CLASS_ID, Class_ID(0x0913212e, 0x3fdd72be)},
      {"Lawn", "Lawn", GEOMOBJECT_CLASS_ID, Class_ID(0x34441789, 0x05de72e1)},
      {"Lawn Mower", "LawnMower", OSM_CLASS_ID, Class_ID(0x172644cf, 0x02a15bb4)},
  };
  ASSERT_EQ(loader().Plugins().size(), 1u);
  const LoadedPlugin& p = loader().Plugins()[0];
  EXPECT_EQ(p.description, "Gramora by Tolvane");
  ASSERT_EQ(p.classes.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    ClassDesc* cd = p.classes[i];
    SCOPED_TRACE(rows[i].internal);
    EXPECT_STREQ(cd->ClassName(), rows[i].name);
    EXPECT_STREQ(cd->InternalName(), rows[i].internal);
    EXPECT_EQ(cd->SuperClassID(), rows[i].super);
    EXPECT_EQ(cd->ClassID(), rows[i].id);
    EXPECT_STREQ(cd->Category(), "Gramora");
    EXPECT_EQ(cd->IsPublic(), 1);
    EXPECT_EQ(cd->HInstance(), module);
    EXPECT_EQ(cd->BeginCreate(&TheHost()), 0);
    EXPECT_EQ(cd->EndCreate(&TheHost()), 0);
    EXPECT_TRUE(cd->OkToCreate(&TheHost()));
    EXPECT_FALSE(cd->NeedsToSave());
    EXPECT_EQ(cd->InitialRollupPageState(), 0x7fffffffu);
    EXPECT_EQ(GetClassDirectory().FindClass(rows[i].super, rows[i].id), cd);
    EXPECT_EQ(Desc(rows[i].internal), cd);
  }
}

TEST_F(RegistryTest, StringTableAndUnknownIds) {
  struct Row {
    int id;
    const char* text;
  } rows[] = {{1, "Gramora by Tolvane"},
              {2, "Gramora"},
              {3, "Grass blade"},
              {4, "Parameters"},
              {5, "Spin"},
              {6, "Grass bundle"},
              {7, "Max height"},
              {8, "Lawn"},
              {9, "Jitter"},
              {10, "Angle Variance"},
              {11, "Max Blade length"},
              {12, "Global parameters"},
              {13, "Blade parameters"},
              {14, "To Single Mesh"},
              {15, "Creation type"},
              {16, "Bundles parameters"},
              {27, "Heightmap"},
              {28, "Heightmap enable"},
              {29, "Use heightmap dimension"},
              {30, "Vectorfield enable"},
              {31, "Use z-depth as time dimension"},
              {32, "Probabilitymap enable"},
              {33, "Vectorfield filename"},
              {107, "Probabilitymap"},
              {108, "Lawn Mower"},
              {109, "Lawnmower parameters"},
              {110, "Shape type"}};
  char buf[256];
  for (const Row& r : rows) {
    EXPECT_EQ(LoadStringA(module, r.id, buf, sizeof buf), static_cast<int>(std::strlen(r.text)));
    EXPECT_STREQ(buf, r.text) << r.id;
  }
  for (int unknown : {0, 17, 26, 34, 106, 111, 100000}) {
    EXPECT_EQ(LoadStringA(module, unknown, buf, sizeof buf), 0) << unknown;
  }
}

TEST_F(RegistryTest, VersionRecord) {
  const VersionResource& v = module->resources->Version();
  const WORD expected[4] = {9, 0, 0, 100};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v.file_version[i], expected[i]);
    EXPECT_EQ(v.product_version[i], expected[i]);
  }
  EXPECT_EQ(v.strings.at("OriginalFilename"), "grass.dlo");
  EXPECT_EQ(v.strings.at("InternalName"), "Gramora");
  EXPECT_EQ(v.strings.at("FileDescription"), "Gramora");
}

TEST_F(RegistryTest, Dialog101HoldsEveryControlWithItsRectangle) {
  const DialogTemplate* d = module->resources->FindDialog(101);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->width, 118);
  EXPECT_EQ(d->height, 128);
  using K = ControlKind;
  struct Row {
    int id;
    K kind;
    const char* text;
    int x, y, w, h;
  } rows[] = {{-1, K::kStatic, "Blade parameters", 25, 14, 56, 8},
              {-1, K::kStatic, "Size", 17, 28, 22, 9},
              {1490, K::kCustEdit, "", 64, 28, 35, 10},
              {1496, K::kSpinner, "", 104, 28, 7, 10},
              {-1, K::kStatic, "Stiffness", 6, 41, 32, 9},
              {1491, K::kCustEdit, "", 64, 41, 35, 10},
              {1497, K::kSpinner, "", 104, 41, 7, 10},
              {-1, K::kStatic, "Gravity", 17, 55, 22, 9},
              {1492, K::kCustEdit, "", 64, 55, 35, 10},
              {1498, K::kSpinner, "", 104, 55, 7, 10},
              {-1, K::kStatic, "#Weldings", 6, 69, 42, 9},
              {1493, K::kCustEdit, "", 64, 68, 35, 10},
              {1499, K::kSpinner, "", 104, 68, 7, 10},
              {-1, K::kStatic, "Weld factor", 6, 80, 42, 9},
              {1494, K::kCustEdit, "", 64, 80, 35, 10},
              {1500, K::kSpinner, "", 104, 80, 7, 10},
              {-1, K::kStatic, "Thining factor", 6, 93, 45, 9},
              {1495, K::kCustEdit, "", 64, 92, 35, 10},
              {1501, K::kSpinner, "", 104, 92, 7, 10}};
  ASSERT_EQ(d->items.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const DialogItem& it = d->items[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(it.id, rows[i].id);
    EXPECT_EQ(it.kind, rows[i].kind);
    EXPECT_STREQ(it.text, rows[i].text);
    EXPECT_EQ(it.x, rows[i].x);
    EXPECT_EQ(it.y, rows[i].y);
    EXPECT_EQ(it.w, rows[i].w);
    EXPECT_EQ(it.h, rows[i].h);
    EXPECT_FALSE(it.disabled);
  }
}

}  // namespace
