#include "res/class_descs.h"

namespace {
// One slot per class of the plug-in, and a few for tests; constant-initialised, so descriptors
// constructed during static initialisation find it ready.
struct Slot {
  Class_ID id;
  ClassDesc2* desc = nullptr;
};
Slot g_slots[8];
}  // namespace

RegisteredClassDesc::RegisteredClassDesc(Class_ID id) : id_(id) {
  for (Slot& s : g_slots) {
    if (s.desc == nullptr || s.id == id) {
      s = {id, this};
      return;
    }
  }
}

RegisteredClassDesc::~RegisteredClassDesc() {
  for (Slot& s : g_slots) {
    if (s.desc == this) s = {};
  }
}

ClassDesc2* FindClassDesc(Class_ID id) {
  for (const Slot& s : g_slots) {
    if (s.desc != nullptr && s.id == id) return s.desc;
  }
  return nullptr;
}
