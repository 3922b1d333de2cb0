// The mower's life in the host: construction, references and sub-animatables, its panel, change
// notifications and the pipeline declarations, and ModifyObject with its passes over time.
#include "mower/lawn_mower.h"

#include "mower/mow.h"
#include "mower/mower_state.h"
#include "sdk/object.h"
#include "sdk/work_budget.h"

LawnMower::LawnMower() {
  if (ClassDesc2* desc = MowerClassDesc()) desc->MakeAutoParamBlocks(this);
  ReplaceReference(1, NewDefaultMatrix3Controller(), TRUE);
}

LawnMower::~LawnMower() {
  // A mower deleted while its panel is open takes its move mode along, so the host is never left
  // with a tool that would move a deleted gizmo.
  MowerEditState& edit = EditState();
  if (edit.mower == this) {
    if (edit.ip != nullptr && edit.moveMode != nullptr) edit.ip->DeleteMode(edit.moveMode);
    delete edit.moveMode;
    edit = MowerEditState();
  }
}

Animatable* LawnMower::SubAnim(int i) {
  switch (i) {
    case 0: return paramBlock;
    case 1: return gizmoControl;
    default: return nullptr;
  }
}

MSTR LawnMower::SubAnimName(int i) { return i == 1 ? MSTR(kMowerCenterName) : MSTR(""); }

BOOL LawnMower::AssignController(Animatable* control, int subNum) {
  if (subNum != 1) return FALSE;
  // Only a transform controller can hold the gizmo; anything else would be read as one.
  auto* c = dynamic_cast<Control*>(control);
  if (control != nullptr && (c == nullptr || c->SuperClassID() != CTRL_MATRIX3_CLASS_ID)) return FALSE;
  ReplaceReference(1, c, TRUE);
  NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
  NotifyDependents(FOREVER, PART_ALL, REFMSG_SUBANIM_STRUCTURE_CHANGED);
  return TRUE;
}

IParamBlock2* LawnMower::GetParamBlockByID(BlockID id) {
  return paramBlock != nullptr && paramBlock->ID() == id ? paramBlock : nullptr;
}

RefTargetHandle LawnMower::GetReference(int i) {
  switch (i) {
    case 0: return paramBlock;
    case 1: return gizmoControl;
    default: return nullptr;
  }
}

void LawnMower::SetReference(int i, RefTargetHandle target) {
  if (i == 0) paramBlock = dynamic_cast<IParamBlock2*>(target);
  if (i == 1) gizmoControl = dynamic_cast<Control*>(target);
}

void LawnMower::BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) {
  MowerEditState& edit = EditState();
  edit.ip = ip;
  edit.mower = this;
  // A panel opened twice without closing keeps one mode: the earlier one leaves the host before
  // it is freed, or the host would go on holding (and reading) a deleted mode.
  if (edit.ip != nullptr && edit.moveMode != nullptr) edit.ip->DeleteMode(edit.moveMode);
  delete edit.moveMode;
  edit.moveMode = new MoveModBoxCMode(this, ip);
  if (ClassDesc2* desc = MowerClassDesc()) desc->BeginEditParams(ip, this, flags, prev);
  const TimeValue t = ip != nullptr ? ip->GetTime() : 0;
  NotifyDependents(Interval(t, t), PART_ALL, REFMSG_BEGIN_EDIT);
  NotifyDependents(Interval(t, t), PART_ALL, REFMSG_MOD_DISPLAY_ON);
  SetAFlag(A_MOD_BEING_EDITED);
}

void LawnMower::EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) {
  ClearAFlag(A_MOD_BEING_EDITED);
  if (ClassDesc2* desc = MowerClassDesc()) desc->EndEditParams(ip, this, flags, next);
  const TimeValue t = ip != nullptr ? ip->GetTime() : 0;
  MowerEditState& edit = EditState();
  if (ip != nullptr && edit.moveMode != nullptr) ip->DeleteMode(edit.moveMode);
  delete edit.moveMode;
  edit = MowerEditState();
  NotifyDependents(Interval(t, t), PART_ALL, REFMSG_END_EDIT);
  NotifyDependents(Interval(t, t), PART_ALL, REFMSG_MOD_DISPLAY_OFF);
}

RefResult LawnMower::NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage message) {
  if (message == REFMSG_CHANGE && EditState().mower == this && paramBlock != nullptr) {
    if (ClassDesc2* desc = MowerClassDesc()) desc->InvalidateUI(paramBlock->GetDesc(), paramBlock->LastNotifyParamID());
  }
  return REF_SUCCEED;
}

Interval LawnMower::LocalValidity(TimeValue) { return NEVER; }

void LawnMower::ModifyObject(TimeValue t, ModContext& mc, ObjectState* os, INode*) {
  if (paramBlock == nullptr || os == nullptr) return;
  auto* tri = dynamic_cast<TriObject*>(os->obj);
  if (tri == nullptr) return;
  Mesh& mesh = tri->GetMesh();
  // The walk indexes texture vertices by vertex index and follows face indices without checks;
  // a mesh that breaks either assumption passes on unchanged rather than being read past its end.
  if (CheckMowable(mesh) != MowCheck::kMowable) return;

  const bool combine = paramBlock->GetInt(mower_combine, t) != 0;
  const bool invert = paramBlock->GetInt(mower_invert, t) != 0;
  auto pass = [&](TimeValue at) {
    MowPass p;
    p.centre = CompGizmoMatrix(at, nullptr, &mc).GetTrans();
    p.width = paramBlock->GetFloat(mower_width, at);
    p.height = paramBlock->GetFloat(mower_height, at);
    p.radius = paramBlock->GetFloat(mower_radius, at);
    p.length = paramBlock->GetFloat(mower_length, at);
    p.shape = paramBlock->GetInt(mower_shape, at) == kMowCircle ? kMowCircle : kMowRectangle;
    p.invert = invert;
    MowMesh(mesh, p);
  };
  if (!combine) {
    pass(t);
    return;
  }
  // Every whole frame from 0 up to t, each from the mesh the previous pass left: the cuts add up.
  // A late frame means millions of passes: the host hears of them first and may refuse them.
  const int tpf = GetTicksPerFrame();
  const int frames = t / tpf;
  if (frames > 0 && !AnnounceWork("LawnMower: \"Combine over time\" at frame " + std::to_string(frames), frames + 1.0))
    return;
  for (int i = 0; i <= frames; ++i) pass(i * tpf);
}
