// Dialog 107: the lawn mower's parameter rollout (118 x 117 dialog units); its layout lives with
// the mower, whose tests build the same panel.
#include "mower/lawn_mower.h"
#include "plugin/plugin.h"

namespace {
const ResourceContribution kDialog(PluginResources, AddLawnMowerDialog);
}  // namespace
