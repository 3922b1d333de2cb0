// The memory a process's control groups still leave it. In a container or a job slot the machine's
// available memory says little: the group's limit is what the kernel enforces, by killing.
#pragma once
#include <cstddef>
#include <string>

// The least, over the process's memory group and every group above it up to the root of its
// hierarchy, of limit minus usage: cgroup v2 (memory.max, memory.current) and v1
// (memory.limit_in_bytes, memory.usage_in_bytes). File cache the kernel can reclaim (inactive_file
// in memory.stat) does not count as used. SIZE_MAX when no group limits memory. `root` is put in
// front of every path read ("" for the running system; a folder laid out alike in tests).
std::size_t CgroupMemoryLeft(const std::string& root);
