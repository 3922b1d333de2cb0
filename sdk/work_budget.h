// Long work a plug-in is about to do, announced before it starts, so the host can refuse work that
// would run for hours (a mower combining twelve million frames) or warn with the estimate.
#pragma once
#include <string>

// Announces `steps` passes of `what` ("LawnMower: \"Combine over time\" at frame 90"). False when the
// host's bound refuses it: the plug-in then leaves the work undone and an error with the count is in
// the host's log. Above the host's warning threshold a warning with the count goes to the log first.
bool AnnounceWork(const std::string& what, double steps);

// The host's bounds: more than `maxSteps` passes are refused (0: no bound), more than `warnAbove`
// are warned about; `howToBound` is the host's advice added to both ("--max-passes N bounds it").
void SetWorkBounds(double maxSteps, double warnAbove, const std::string& howToBound);
