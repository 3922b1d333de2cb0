// Parameter tables of the classes whose code has not landed yet: each holds the block's identity
// only. They are weak, so a class's own folder overrides its function by defining it; the module
// libraries are linked whole, which makes sure the override is the one taken.
#include "plugin/block_specs.h"

#define PENDING __attribute__((weak))

PENDING ParamBlockSpec GrassBundleBlockSpec(ClassDesc2* owner) {
  return {.id = 0, .int_name = "params", .owner = owner, .flags = P_AUTO_CONSTRUCT | P_AUTO_UI};
}
