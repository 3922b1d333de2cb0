#include "app/serve_queue.h"

void HostQueue::Serve() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
      if (stop_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();  // a packaged task: whatever the job throws goes to its future
  }
}

void HostQueue::Stop() {
  std::deque<std::function<void()>> dropped;
  std::lock_guard lock(mutex_);
  stop_ = true;
  dropped.swap(jobs_);  // their futures report a broken promise instead of waiting forever
  wake_.notify_all();
}

void HostQueue::Push(std::function<void()> job) {
  std::lock_guard lock(mutex_);
  if (stop_) return;  // dropped: the caller's future reports a broken promise
  jobs_.push_back(std::move(job));
  wake_.notify_one();
}
