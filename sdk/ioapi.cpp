#include "sdk/ioapi.h"

#include <algorithm>

ILoad::~ILoad() {
  for (Pending& p : pending_) delete p.cb;
}

void ILoad::RegisterPostLoadCallback(PostLoadCallback* cb, float priority) {
  if (!cb) return;
  pending_.push_back({cb, priority, next_order_++});
}

int ILoad::RunPostLoadCallbacks() {
  int ran = 0;
  while (!pending_.empty()) {
    // Taken off the queue before it runs: a callback may delete itself or register others.
    auto it = std::min_element(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
      return a.priority != b.priority ? a.priority < b.priority : a.order < b.order;
    });
    PostLoadCallback* cb = it->cb;
    pending_.erase(it);
    cb->proc(this);
    ++ran;
  }
  return ran;
}
