// The library's version record.
#include "res/resource_parts.h"

void AddVersion(ResourceTable& t) {
  VersionResource v;
  const WORD kVersion[4] = {9, 0, 0, 100};
  for (int i = 0; i < 4; ++i) v.file_version[i] = v.product_version[i] = kVersion[i];
  v.strings = {
      {"OriginalFilename", "grass.dlo"}, {"InternalName", "Gramora"}, {"FileDescription", "Gramora"},
      {"ProductName", "Gramora"},        {"CompanyName", "Tolvane"},  {"FileVersion", "9.0.0.100"},
      {"ProductVersion", "9.0.0.100"},
  };
  t.SetVersion(std::move(v));
}
