// The host's class directory: every class descriptor the loaded plug-ins (and the host) offer.
#pragma once
#include <string>
#include <vector>

#include "sdk/classdesc.h"

// One registered class and the module that brought it (null for the host's own classes).
struct ClassEntry {
  ClassDesc* cd = nullptr;
  HINSTANCE module = nullptr;
};

// Registered classes in registration order.
class ClassDirectory {
 public:
  // Registers cd; FALSE (and nothing registered) when a class with the same super-class and
  // class id is already there, or cd is null.
  BOOL AddClass(ClassDesc* cd, HINSTANCE module = nullptr);
  // Removes every class of a module (the loader calls it before unloading the module).
  void RemoveModule(HINSTANCE module);

  int Count() const { return static_cast<int>(entries_.size()); }
  ClassDesc* Get(int i) const;
  ClassDesc* FindClass(SClass_ID superID, Class_ID classID) const;
  // By class id alone (any super-class).
  ClassDesc* FindClass(Class_ID classID) const;
  // By ClassName() or InternalName(), whichever matches first.
  ClassDesc* FindClassByName(const std::string& name) const;
  HINSTANCE ModuleOf(const ClassDesc* cd) const;

 private:
  std::vector<ClassEntry> entries_;
};

// The process-wide directory of the host.
ClassDirectory& GetClassDirectory();
