// Class-wide state of the mower, shared by all mowers (the host edits one modifier at a time).
#pragma once
#include "mower/lawn_mower.h"

// The open panel: its interface, the mower it edits and the move mode made for it (all null
// while no mower panel is open).
struct MowerEditState {
  IObjParam* ip = nullptr;
  LawnMower* mower = nullptr;
  MoveModBoxCMode* moveMode = nullptr;
};
MowerEditState& EditState();

// The mower's class descriptor, as registered (null when none is).
ClassDesc2* MowerClassDesc();

// Name of the sub-object level and of the gizmo's sub-animatable.
constexpr const char* kMowerCenterName = "Lawn Mower Center";

// The one sub-object level, built at load with an empty name that first use fills in.
GenSubObjType& MowerSubObjType();
