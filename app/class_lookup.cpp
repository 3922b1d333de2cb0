#include "app/class_lookup.h"

#include <vector>

#include "app/errors.h"
#include "app/suggest.h"
#include "sdk/classdir.h"

std::string ClassKey(ClassDesc* cd) {
  const char* internal = cd->InternalName();
  if (internal && *internal) return internal;
  const char* name = cd->ClassName();
  return name ? name : "";
}

std::string SuperClassName(SClass_ID id) {
  switch (id) {
    case GEOMOBJECT_CLASS_ID: return "geometric object";
    case OSM_CLASS_ID: return "object-space modifier";
    case WSM_CLASS_ID: return "world-space modifier";
    case TEXMAP_CLASS_ID: return "texture map";
    default: return "other";
  }
}

ClassDesc* FindClassOrThrow(const std::string& name, const std::string& where) {
  ClassDirectory& dir = GetClassDirectory();
  if (ClassDesc* cd = dir.FindClassByName(name)) return cd;
  std::vector<std::string> known, names;
  for (int i = 0; i < dir.Count(); ++i) {
    ClassDesc* cd = dir.Get(i);
    if (!cd->IsPublic()) continue;
    known.push_back(ClassKey(cd));
    names.push_back(ClassKey(cd));
    if (const char* n = cd->ClassName()) names.push_back(n);
  }
  std::string message = where + ": unknown class \"" + name + "\"";
  const std::vector<std::string> near = NearestNames(name, names, 2);
  if (!near.empty()) message += "; did you mean " + QuotedList(near) + "?";
  message += known.empty() ? " (no plug-in classes are loaded)" : " (known classes: " + QuotedList(known, ", ") + ")";
  throw InputError(message);
}
