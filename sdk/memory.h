// How much more memory the host can hold, asked before large allocations that the system would
// otherwise promise and later fail to deliver (a process killed mid-build instead of an error).
#pragma once
#include <cstddef>

// True when `bytes` more can be held now: at most the memory the system reports available plus
// free swap, and at most the host's limit when one is set. Requests under 64 MiB are always allowed.
bool HostCanHold(std::size_t bytes);

// Caps what HostCanHold allows (0 removes the cap); for hosts that share a machine, and for tests.
void SetHostMemoryLimit(std::size_t bytes);
