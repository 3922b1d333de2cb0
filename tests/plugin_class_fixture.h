// One of the plug-in's classes registered without the plug-in, for suites and benchmarks that
// build its objects directly: a descriptor under the class's id, as the plug-in's registry makes
// it, whose module record carries the plug-in's resources (so panels open as in the plug-in), and
// the class's parameter-block description.
#pragma once
#include "res/class_descs.h"
#include "res/plugin_resources.h"
#include "sdk/module.h"
#include "sdk/paramblock.h"

template <class Object>
class PluginClassFixture {
 public:
  PluginClassFixture(Class_ID id, SClass_ID superClass, const char* name, ParamBlockSpec (*spec)(ClassDesc2*))
      : desc_(id, superClass, name), block_(spec(&desc_)) {}

  ClassDesc2& Desc() { return desc_; }
  ParamBlockDesc2& Block() { return block_; }

 private:
  class Descriptor : public RegisteredClassDesc {
   public:
    Descriptor(Class_ID id, SClass_ID superClass, const char* name)
        : RegisteredClassDesc(id), superClass_(superClass), name_(name) {}
    int IsPublic() override { return 1; }
    ReferenceTarget* Create(BOOL) override { return new Object(); }
    const MCHAR* ClassName() override { return name_; }
    SClass_ID SuperClassID() override { return superClass_; }
    const MCHAR* Category() override { return "Gramora"; }
    HINSTANCE HInstance() override {
      static HINSTANCE module = MakeModuleRecord("plugin-class-fixture", nullptr, &PluginResources());
      return module;
    }

   private:
    SClass_ID superClass_;
    const char* name_;
  };

  Descriptor desc_;
  ParamBlockDesc2 block_;
};
