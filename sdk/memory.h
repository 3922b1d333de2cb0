// How much more memory the host can hold, asked before large allocations that the system would
// otherwise promise and later fail to deliver (a process killed mid-build instead of an error).
#pragma once
#include <cstddef>
#include <string>

// The bytes this process can still have: the least of the memory the system reports available
// plus free swap, what its memory cgroup (v2 memory.max, v1 memory.limit_in_bytes, on every level
// up to the root) leaves beside what the group already uses, what its address-space limit
// (RLIMIT_AS) leaves, and the host's own limit when one is set.
std::size_t HostHeadroom();

// True when `bytes` more can be held now (within HostHeadroom). Requests under 64 MiB are always
// allowed: reading the limits costs more than they risk.
bool HostCanHold(std::size_t bytes);

// Caps what the host lets the process hold (0 removes the cap); for hosts that share a machine,
// and for tests.
void SetHostMemoryLimit(std::size_t bytes);

// The whole peak a build reaches, the one place where it is estimated: a mesh of `meshBytes` held
// `hostCopies` times at once (the object's own and the copies the host makes while it evaluates
// and writes it), plus map tables and field data that are still to be allocated.
std::size_t EstimatePeakBytes(std::size_t meshBytes, unsigned hostCopies, std::size_t mapBytes, std::size_t fieldBytes);

// How many copies of an evaluated mesh the host holds at its peak, as the host declares it for the
// work at hand (1 until it does).
void SetHostMeshCopies(unsigned copies);
unsigned HostMeshCopies();

// A byte count for messages: "812 MB", "5.4 GB".
std::string DescribeBytes(std::size_t bytes);
