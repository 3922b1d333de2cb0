// What the process can still hold: control-group limits read from a laid-out tree, and the one
// estimate of a build's whole peak.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "sdk/cgroup_memory.h"
#include "sdk/memory.h"

namespace fs = std::filesystem;

namespace {

// A folder laid out like / for the few files the cgroup reader opens.
class FakeRoot {
 public:
  FakeRoot() : root_(fs::temp_directory_path() / ("gramora_cgroup_" + std::to_string(::getpid()))) {
    fs::create_directories(root_ / "proc/self");
  }
  ~FakeRoot() { fs::remove_all(root_); }
  void Write(const std::string& path, const std::string& text) const {
    fs::create_directories((root_ / path).parent_path());
    std::ofstream(root_ / path) << text;
  }
  std::string str() const { return root_.string(); }

 private:
  fs::path root_;
};

constexpr std::size_t kMiB = std::size_t{1} << 20;

TEST(CgroupMemory, TheTightestLevelAboveTheProcessCounts) {
  {
    // cgroup v2: the process's own group has no limit, its parent allows 1 GiB of which 700 MiB are
    // used, 100 MiB of that reclaimable cache.
    FakeRoot r;
    r.Write("proc/self/mountinfo", "30 23 0:26 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw\n");
    r.Write("proc/self/cgroup", "0::/jobs/run1\n");
    r.Write("sys/fs/cgroup/jobs/memory.max", std::to_string(1024 * kMiB) + "\n");
    r.Write("sys/fs/cgroup/jobs/memory.current", std::to_string(700 * kMiB) + "\n");
    r.Write("sys/fs/cgroup/jobs/memory.stat", "anon 1\ninactive_file " + std::to_string(100 * kMiB) + "\n");
    r.Write("sys/fs/cgroup/jobs/run1/memory.max", "max\n");
    r.Write("sys/fs/cgroup/jobs/run1/memory.current", std::to_string(600 * kMiB) + "\n");
    EXPECT_EQ(CgroupMemoryLeft(r.str()), 424 * kMiB);
  }
  {
    // cgroup v1 beside an unlimited v2 mount, the group path seen below the mount's own root.
    FakeRoot r;
    r.Write("proc/self/mountinfo",
            "31 23 0:28 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n"
            "32 23 0:29 /jobs /sys/fs/cgroup/memory rw,relatime shared:9 - cgroup cgroup rw,memory\n"
            "33 23 0:30 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n");
    r.Write("proc/self/cgroup", "4:memory:/jobs/run2\n1:cpu:/\n0::/\n");
    r.Write("sys/fs/cgroup/memory/run2/memory.limit_in_bytes", std::to_string(512 * kMiB) + "\n");
    r.Write("sys/fs/cgroup/memory/run2/memory.usage_in_bytes", std::to_string(200 * kMiB) + "\n");
    r.Write("sys/fs/cgroup/memory/run2/memory.stat", "total_inactive_file " + std::to_string(8 * kMiB) + "\n");
    r.Write("sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n");  // no limit
    EXPECT_EQ(CgroupMemoryLeft(r.str()), 320 * kMiB);
  }
  {
    FakeRoot r;  // no cgroup file system at all
    EXPECT_EQ(CgroupMemoryLeft(r.str()), SIZE_MAX);
  }
}

TEST(HostMemory, ThePeakEstimateCountsEveryCopyAndTable) {
  EXPECT_EQ(EstimatePeakBytes(100, 4, 30, 7), 437u);
  EXPECT_EQ(EstimatePeakBytes(100, 0, 0, 0), 100u) << "the object's own mesh is always there";
  EXPECT_EQ(EstimatePeakBytes(SIZE_MAX / 2, 3, 1, 1), SIZE_MAX) << "saturates instead of wrapping";
  EXPECT_EQ(DescribeBytes(5'400'000'000), "5.4 GB");
  EXPECT_EQ(DescribeBytes(812'000'000), "812 MB");
  // The host's cap is part of the headroom, and small requests pass without asking.
  SetHostMemoryLimit(256 * kMiB);
  EXPECT_LE(HostHeadroom(), 256 * kMiB);
  EXPECT_FALSE(HostCanHold(300 * kMiB));
  EXPECT_TRUE(HostCanHold(63 * kMiB));
  SetHostMemoryLimit(0);
  SetHostMeshCopies(0);
  EXPECT_EQ(HostMeshCopies(), 1u);
}

}  // namespace
