#include "sdk/classdir.h"

#include <algorithm>
#include <cstring>

BOOL ClassDirectory::AddClass(ClassDesc* cd, HINSTANCE module) {
  if (!cd || FindClass(cd->SuperClassID(), cd->ClassID())) return FALSE;
  entries_.push_back({cd, module});
  return TRUE;
}

void ClassDirectory::RemoveModule(HINSTANCE module) {
  entries_.erase(
      std::remove_if(entries_.begin(), entries_.end(), [&](const ClassEntry& e) { return e.module == module; }),
      entries_.end());
}

ClassDesc* ClassDirectory::Get(int i) const {
  return i >= 0 && i < Count() ? entries_[static_cast<size_t>(i)].cd : nullptr;
}

ClassDesc* ClassDirectory::FindClass(SClass_ID superID, Class_ID classID) const {
  for (const ClassEntry& e : entries_)
    if (e.cd->SuperClassID() == superID && e.cd->ClassID() == classID) return e.cd;
  return nullptr;
}

ClassDesc* ClassDirectory::FindClass(Class_ID classID) const {
  for (const ClassEntry& e : entries_)
    if (e.cd->ClassID() == classID) return e.cd;
  return nullptr;
}

ClassDesc* ClassDirectory::FindClassByName(const std::string& name) const {
  for (const ClassEntry& e : entries_) {
    // ClassName() may point into a buffer the next call overwrites: compare at once.
    const char* cn = e.cd->ClassName();
    if (cn && name == cn) return e.cd;
    const char* in = e.cd->InternalName();
    if (in && name == in) return e.cd;
  }
  return nullptr;
}

HINSTANCE ClassDirectory::ModuleOf(const ClassDesc* cd) const {
  for (const ClassEntry& e : entries_)
    if (e.cd == cd) return e.module;
  return nullptr;
}

ClassDirectory& GetClassDirectory() {
  static ClassDirectory* dir = new ClassDirectory();
  return *dir;
}
