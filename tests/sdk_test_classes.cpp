#include "tests/sdk_test_classes.h"

TestDesc::TestDesc() {
  resources.AddString(1, "Test rollout");
  DialogTemplate d;
  d.id = 500;
  d.width = 100;
  d.height = 80;
  d.items = {{IDC_STATIC, ControlKind::kStatic, "Size", 1, 1, 20, 8},
             {10, ControlKind::kCustEdit, "", 30, 1, 30, 10},
             {11, ControlKind::kSpinner, "", 62, 1, 7, 10},
             {20, ControlKind::kRadioButton, "A", 1, 20, 20, 10},
             {21, ControlKind::kRadioButton, "B", 30, 20, 20, 10},
             {30, ControlKind::kCheckBox, "On", 1, 40, 30, 10},
             {40, ControlKind::kCustButton, "", 1, 55, 60, 10},
             {50, ControlKind::kCustButton, "Pick", 1, 67, 60, 10, true}};
  resources.AddDialog(d);
  module_ = MakeModuleRecord("test-module", nullptr, &resources);
}

TestDesc::~TestDesc() { FreeModuleRecord(module_); }

ReferenceTarget* TestDesc::Create(BOOL) { return new TestObject(); }

TestDesc& TheTestDesc() {
  static TestDesc desc;
  return desc;
}

ParamBlockDesc2& TheTestBlockDesc() {
  static ParamBlockDesc2 block(
      {.id = 7,
       .int_name = "test params",
       .owner = &TheTestDesc(),
       .flags = P_AUTO_CONSTRUCT | P_AUTO_UI,
       .ref_no = 0,
       .rollouts = {{.map_id = 0, .dialog = 500, .title = 1, .proc = &TheTestDesc().proc}},
       .params = {
           {.id = 0,
            .int_name = "size",
            .type = TYPE_FLOAT,
            .flags = P_ANIMATABLE,
            .def = {.f = 1.0f},
            .range = {0.0f, 10.0f},
            .ui = {.type = TYPE_SPINNER, .edit_type = EDITTYPE_FLOAT, .ids = {10, 11}, .scale = 0.5f}},
           {.id = 1,
            .int_name = "mode",
            .type = TYPE_INT,
            .range = {0.0f, 1.0f},
            .ui = {.type = TYPE_RADIO, .ids = {20, 21}}},
           {.id = 2,
            .int_name = "on",
            .type = TYPE_BOOL,
            .def = {.i = TRUE},
            .ui = {.type = TYPE_SINGLECHEKBOX, .ids = {30}}},
           {.id = 3,
            .int_name = "map",
            .type = TYPE_TEXMAP,
            .flags = P_OWNERS_REF,
            .ui = {.type = TYPE_TEXMAPBUTTON, .ids = {40}},
            .owner_ref = 1},
           {.id = 4, .int_name = "path", .type = TYPE_STRING, .def = {.s = "none"}},
           {.id = 5, .int_name = "angle", .type = TYPE_FLOAT},
       }});
  return block;
}
