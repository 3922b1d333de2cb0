#include "tests/fuzz/fuzz_host.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/host_session.h"
#include "app/path_policy.h"
#include "app/warnings.h"
#include "sdk/host.h"
#include "sdk/log.h"
#include "sdk/memory.h"
#include "sdk/work_budget.h"

namespace fuzz {

namespace {
// An input may ask for gigabytes; the host refuses beyond this, as it would beyond a small machine.
constexpr std::size_t kMemoryLimit = std::size_t{256} << 20;

// The files a scene in the fuzz folder may name: the tests' height map and vector field.
void CopyData(const char* from, const std::string& to) {
  std::filesystem::copy_file(std::string(GRAMORA_FUZZ_DATA) + "/" + from, to,
                             std::filesystem::copy_options::overwrite_existing);
}

struct State {
  std::string folder;
  std::unique_ptr<HostSession> session;

  State() {
    // In memory when the system has such a folder: every input is written to a file, and a disk
    // file system flushes one rewritten by truncation on every close.
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    folder = (base / ("gramora_fuzz_" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder);
    CopyData("app_hills.png", folder + "/hills.png");
    CopyData("app_wind.dat", folder + "/wind.dat");
    CopyData("app_wind.raw", folder + "/app_wind.raw");
    SetPathPolicy({.allowOutsidePaths = false, .shaderDir = ""});
    SetHostMemoryLimit(kMemoryLimit);
    SetWorkBounds(1000, 1e9, "");
    SetHostMeshCopies(2);
    session = std::make_unique<HostSession>("");  // the plug-ins beside the fuzz target
  }
  ~State() {
    session.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

State& Get() {
  static State state;
  return state;
}
}  // namespace

const std::string& Folder() { return Get().folder; }

void Reset() {
  TheHost().ResetScene();
  TakeLogRecords();
  try {
    ReportPluginLog("");
  } catch (...) {
  }
}

std::string WriteFile(const std::string& name, const void* data, std::size_t size) {
  const std::string path = Folder() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

}  // namespace fuzz
