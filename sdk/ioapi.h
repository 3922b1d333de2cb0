// Saving and loading: the chunk streams objects write to and read from, and post-load callbacks.
//
// The host's scene saver and loader derive from ISave and ILoad. Objects that keep data of their
// own write it in chunks; ILoad also collects the post-load callbacks that objects register while
// they load, and RunPostLoadCallbacks runs them once the whole scene has been read.
#pragma once
#include <vector>

#include "sdk/ref.h"

using USHORT = std::uint16_t;

// The stream an object writes its own data to while the scene is saved.
class ISave {
 public:
  virtual ~ISave() = default;
  virtual void BeginChunk(USHORT id) = 0;
  virtual void EndChunk() = 0;
  virtual IOResult Write(const void* buf, ULONG nbytes, ULONG* written) = 0;
};

class ILoad;

// Work an object asks to run after the whole scene has been loaded.
class PostLoadCallback {
 public:
  virtual ~PostLoadCallback() = default;
  // Runs once; a callback that was allocated for one load may delete itself here.
  virtual void proc(ILoad* iload) = 0;
  // Lower priorities run first; the host's default is 5.
  virtual int Priority() { return 5; }
};

// The stream an object reads its own data from while the scene is loaded. The chunk reads default
// to "no data", so a loader that keeps no chunks only has to exist.
class ILoad {
 public:
  ILoad() = default;
  ILoad(const ILoad&) = delete;
  ILoad& operator=(const ILoad&) = delete;
  // Deletes the callbacks that were registered but never run.
  virtual ~ILoad();

  // Opens the next chunk: IO_OK, or IO_END when there is none.
  virtual IOResult OpenChunk() { return IO_END; }
  virtual USHORT CurChunkID() { return 0; }
  virtual IOResult CloseChunk() { return IO_OK; }
  virtual IOResult Read(void* /*buf*/, ULONG /*nbytes*/, ULONG* read) {
    if (read) *read = 0;
    return IO_ERROR;
  }

  // Queues cb to run after the load, ordered by priority, then by registration.
  virtual void RegisterPostLoadCallback(PostLoadCallback* cb, float priority = 5.0f);
  // Runs the queued callbacks once each, in order; returns how many ran. Callbacks registered
  // while they run are run in the same pass.
  int RunPostLoadCallbacks();
  int NumPendingPostLoadCallbacks() const { return static_cast<int>(pending_.size()); }

 private:
  struct Pending {
    PostLoadCallback* cb;
    float priority;
    int order;
  };
  std::vector<Pending> pending_;
  int next_order_ = 0;
};
