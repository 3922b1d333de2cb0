// Finding plug-in classes by the names people write in scene files and on the command line.
#pragma once
#include <string>

#include "sdk/classdesc.h"

// The class whose ClassName() or InternalName() is `name`; throws InputError listing the known
// classes (and the nearest names) when there is none. `where` prefixes the message.
ClassDesc* FindClassOrThrow(const std::string& name, const std::string& where);

// The class's internal name, or its class name when it has none.
std::string ClassKey(ClassDesc* cd);

// A readable name of a super-class id ("geometric object", "object-space modifier", ...).
std::string SuperClassName(SClass_ID id);
