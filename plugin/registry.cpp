// The class registry: the four class descriptors and their parameter-block descriptions.
//
// They are defined here, in one translation unit, because their order of construction is the
// library's: bundle, lawn, mower, blade, each descriptor before the block description that names
// it as owner (and destroyed in reverse when the library unloads).
#include <new>

#include "lawn/lawn.h"
#include "mower/lawn_mower.h"
#include "objects/grass_blade.h"
#include "objects/grass_bundle.h"
#include "plugin/plugin.h"
#include "res/class_descs.h"
#include "res/class_ids.h"
#include "res/plugin_resources.h"
#include "res/resource_ids.h"
#include "sdk/paramblock.h"

namespace {
// What all four descriptors share: public, the "Gramora" category, the library's module, and the
// class id they register under.
class GramoraClassDesc : public RegisteredClassDesc {
 public:
  using RegisteredClassDesc::RegisteredClassDesc;
  int IsPublic() override { return 1; }
  const MCHAR* Category() override { return GetResourceString(IDS_CATEGORY); }
  HINSTANCE HInstance() override { return PluginModule(); }
};

// Runs a constructor without letting an exception leave the plug-in: a failure gives null.
template <class T>
ReferenceTarget* CreateSafely() {
  try {
    return new T();
  } catch (...) {
    return nullptr;
  }
}

class GrassBundleClassDesc : public GramoraClassDesc {
 public:
  GrassBundleClassDesc() : GramoraClassDesc(kGrassBundleClassID) {}
  ReferenceTarget* Create(BOOL /*loading*/) override { return CreateSafely<GrassBundle>(); }
  const MCHAR* ClassName() override { return GetResourceString(IDS_GRASS_BUNDLE); }
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  const MCHAR* InternalName() override { return "GrassBundle"; }
};

class LawnClassDesc : public GramoraClassDesc {
 public:
  LawnClassDesc() : GramoraClassDesc(kLawnClassID) {}
  ReferenceTarget* Create(BOOL /*loading*/) override { return CreateSafely<Lawn>(); }
  const MCHAR* ClassName() override { return GetResourceString(IDS_LAWN); }
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  const MCHAR* InternalName() override { return "Lawn"; }
};

class LawnMowerClassDesc : public GramoraClassDesc {
 public:
  LawnMowerClassDesc() : GramoraClassDesc(kLawnMowerClassID) {}
  ReferenceTarget* Create(BOOL /*loading*/) override { return CreateSafely<LawnMower>(); }
  const MCHAR* ClassName() override { return GetResourceString(IDS_LAWN_MOWER); }
  SClass_ID SuperClassID() override { return OSM_CLASS_ID; }
  const MCHAR* InternalName() override { return "LawnMower"; }
};

class GrassBladeClassDesc : public GramoraClassDesc {
 public:
  GrassBladeClassDesc() : GramoraClassDesc(kGrassBladeClassID) {}
  ReferenceTarget* Create(BOOL /*loading*/) override { return CreateSafely<GrassBlade>(); }
  const MCHAR* ClassName() override { return GetResourceString(IDS_GRASS_BLADE); }
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  const MCHAR* InternalName() override { return "GrassBlade"; }
};

GrassBundleClassDesc grassBundleDesc;
ParamBlockDesc2 grassBundleBlock(GrassBundleBlockSpec(&grassBundleDesc));
LawnClassDesc lawnDesc;
ParamBlockDesc2 lawnBlock(LawnBlockSpec(&lawnDesc));
LawnMowerClassDesc lawnMowerDesc;
ParamBlockDesc2 lawnMowerBlock(LawnMowerBlockSpec(&lawnMowerDesc));
GrassBladeClassDesc grassBladeDesc;
ParamBlockDesc2 grassBladeBlock(GrassBladeBlockSpec(&grassBladeDesc));
}  // namespace

ClassDesc2* PluginClassDesc(int index) {
  // Compared unsigned, so negative indices fall outside too.
  switch (static_cast<unsigned>(index)) {
    case 0: return &grassBladeDesc;
    case 1: return &grassBundleDesc;
    case 2: return &lawnDesc;
    case 3: return &lawnMowerDesc;
    default: return nullptr;
  }
}
