// Parameter-block descriptions: the static table each class declares once, listing every
// parameter (id, internal name, type, flags, display name, default, range, panel control) and the
// rollouts its automatic panel is built from.
//
// A class declares its table as an aggregate, in definition order:
//
//   static ParamBlockDesc2 blade_block({
//       .id = 0, .int_name = "params", .owner = &bladeDesc, .flags = P_AUTO_CONSTRUCT | P_AUTO_UI,
//       .ref_no = 0,
//       .rollouts = {{.map_id = 0, .dialog = 101, .title = 4}},
//       .params = {
//           {.id = 0, .int_name = "size", .type = TYPE_FLOAT, .flags = P_ANIMATABLE,
//            .local_name = 5, .def = {.f = 1.0f}, .range = {0.0f, 1000.0f},
//            .ui = {.type = TYPE_SPINNER, .edit_type = EDITTYPE_FLOAT, .ids = {1490, 1496},
//                   .scale = 0.5f}},
//       }});
//
// The constructor registers the table with its owner, so the owner must be constructed first.
#pragma once
#include <cfloat>
#include <string>
#include <vector>

#include "sdk/geom.h"
#include "sdk/platform.h"
#include "sdk/ref.h"

class ClassDesc2;
class IParamMap2;
class ParamMap2UserDlgProc;

using ParamID = short;
using MapID = short;

// Value types of parameters.
enum ParamType2 {
  TYPE_FLOAT = 0,
  TYPE_INT = 1,
  TYPE_POINT3 = 3,
  TYPE_BOOL = 4,
  TYPE_ANGLE = 5,  // a float in radians
  TYPE_WORLD = 7,  // a float in world units
  TYPE_STRING = 8,
  TYPE_FILENAME = 9,
  TYPE_TEXMAP = 10,
};

// Block flags.
constexpr int P_AUTO_CONSTRUCT = 2;  // the owner's MakeAutoParamBlocks builds the block
constexpr int P_AUTO_UI = 4;         // BeginEditParams builds its rollouts from dialog templates

// Parameter flags.
constexpr int P_ANIMATABLE = 0x0100;     // floats keep a key track
constexpr int P_RESET_DEFAULT = 0x0200;  // every new object starts from the default
constexpr int P_OWNERS_REF = 0x0400;     // a texture map held in the owner's reference slot
constexpr int P_TRANSIENT = 0x0800;      // not saved with the scene

// Panel controls a parameter can be bound to.
enum ControlType2 {
  TYPE_NO_CONTROL = 0,
  TYPE_SPINNER = 1,        // ids: edit field, spinner
  TYPE_SINGLECHEKBOX = 2,  // ids: the check box
  TYPE_RADIO = 3,          // ids: one radio button per value 0, 1, ...
  TYPE_TEXMAPBUTTON = 4,   // ids: the map button
};

// What a spinner edits: a plain number, a whole number or world units.
enum EditSpinnerType {
  EDITTYPE_FLOAT = 1,
  EDITTYPE_INT = 2,
  EDITTYPE_UNIVERSE = 3,
  EDITTYPE_POS_FLOAT = 4,
  EDITTYPE_POS_INT = 5,
};

// A parameter value of any type; only the member of the parameter's type is used.
struct ParamValue {
  float f = 0.0f;
  int i = 0;
  Point3 p{};
  const char* s = nullptr;
};

// The closed range a value is clamped to; the default is unbounded.
struct ParamRange {
  float lo = -FLT_MAX;
  float hi = FLT_MAX;
};

// The panel control of a parameter.
struct ParamUI {
  ControlType2 type = TYPE_NO_CONTROL;
  int edit_type = 0;          // EditSpinnerType, spinners only
  int ids[4] = {0, 0, 0, 0};  // control ids; see ControlType2 (unused entries 0)
  float scale = 0.0f;         // spinner step per click
};

// One parameter of a block.
struct ParamDef {
  ParamID id = -1;
  const char* int_name = "";  // internal name, stored letter for letter
  ParamType2 type = TYPE_FLOAT;
  int flags = 0;       // P_ANIMATABLE, P_RESET_DEFAULT, P_OWNERS_REF, P_TRANSIENT
  int local_name = 0;  // string-table id of the display name
  ParamValue def{};
  ParamRange range{};
  ParamUI ui{};
  MapID map_id = 0;    // the rollout its control lives in
  int owner_ref = -1;  // P_OWNERS_REF: the owner's reference slot
  int sub_texno = -1;  // texture maps: the owner's sub-texture number

  bool IsFloat() const { return type == TYPE_FLOAT || type == TYPE_ANGLE || type == TYPE_WORLD; }
  bool IsInt() const { return type == TYPE_INT || type == TYPE_BOOL; }
  bool IsString() const { return type == TYPE_STRING || type == TYPE_FILENAME; }
  int NumControlIds() const;
};

// One rollout of the automatic panel.
struct RolloutDesc {
  MapID map_id = 0;
  int dialog = 0;  // dialog template id in the owner's resources
  int title = 0;   // string-table id of the rollout title
  BOOL rolled_up = FALSE;
  ParamMap2UserDlgProc* proc = nullptr;  // user dialog procedure, or none
};

// Everything a block description holds, as a class writes it down.
struct ParamBlockSpec {
  BlockID id = 0;
  const char* int_name = "";
  int local_name = 0;
  ClassDesc2* owner = nullptr;
  int flags = 0;   // P_AUTO_CONSTRUCT, P_AUTO_UI
  int ref_no = 0;  // the owner's reference slot of the block
  std::vector<RolloutDesc> rollouts{};
  std::vector<ParamDef> params{};  // definition order
};

// The description of one class's parameter block; registers itself with its owner.
class ParamBlockDesc2 {
 public:
  explicit ParamBlockDesc2(ParamBlockSpec spec);
  ~ParamBlockDesc2();
  ParamBlockDesc2(const ParamBlockDesc2&) = delete;
  ParamBlockDesc2& operator=(const ParamBlockDesc2&) = delete;

  BlockID ID() const { return spec_.id; }
  const char* InternalName() const { return spec_.int_name; }
  int LocalName() const { return spec_.local_name; }
  ClassDesc2* Owner() const { return spec_.owner; }
  int Flags() const { return spec_.flags; }
  int RefNo() const { return spec_.ref_no; }

  int Count() const { return static_cast<int>(spec_.params.size()); }
  // The definition at index (definition order), or null.
  const ParamDef* GetParamDefByIndex(int index) const;
  const ParamDef* GetParamDef(ParamID id) const;
  const ParamDef* GetParamDefByName(const char* int_name) const;  // first match
  int IDtoIndex(ParamID id) const;                                // -1 when absent
  ParamID IndextoID(int index) const;                             // -1 when absent

  int NumRollouts() const { return static_cast<int>(spec_.rollouts.size()); }
  const RolloutDesc* GetRollout(int index) const;
  const RolloutDesc* GetRolloutByMapID(MapID map_id) const;
  void SetUserDlgProc(MapID map_id, ParamMap2UserDlgProc* proc);
  ParamMap2UserDlgProc* GetUserDlgProc(MapID map_id = 0) const;

  // Refreshes the controls of parameter id (every parameter for -1) in the open panels.
  void InvalidateUI(ParamID id = -1);

  // Open panels of blocks of this description (kept by the host's panel code).
  void AddMap(IParamMap2* map);
  void RemoveMap(IParamMap2* map);
  const std::vector<IParamMap2*>& Maps() const { return maps_; }

 private:
  ParamBlockSpec spec_;
  std::vector<IParamMap2*> maps_;
};
