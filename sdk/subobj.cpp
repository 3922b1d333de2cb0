#include "sdk/subobj.h"

#include "sdk/modifier.h"

void MoveModBoxCMode::Drag(TimeValue t, const Point3& offset, const Matrix3& parent, const Matrix3& axis) {
  if (mod_ == nullptr) return;
  // Move takes its arguments by reference, as interactive hosts pass their working copies.
  Matrix3 partm = parent, tmAxis = axis;
  Point3 val = offset;
  mod_->Move(t, partm, tmAxis, val, FALSE);
}

CommandMode* EnterSubObjectLevel(IObjParam* ip, Modifier* mod, int level) {
  if (ip == nullptr || mod == nullptr) return nullptr;
  ip->SetSubObjectLevel(level);
  XFormModes modes;
  mod->ActivateSubobjSel(level, modes);
  if (level <= 0 || modes.move == nullptr) return nullptr;
  ip->PushCommandMode(modes.move);
  return modes.move;
}
