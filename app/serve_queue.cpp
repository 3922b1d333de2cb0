#include "app/serve_queue.h"

#include <new>
#include <stdexcept>

#include "app/errors.h"

void HostFailure::Raise() const {
  switch (kind) {
    case Kind::kInput: throw InputError(message);
    case Kind::kOutOfMemory: throw std::bad_alloc();
    case Kind::kOther: break;
  }
  throw std::runtime_error(message);
}

HostFailure CurrentFailure() {
  try {
    throw;
  } catch (const InputError& e) {
    return {HostFailure::Kind::kInput, e.what()};
  } catch (const std::bad_alloc&) {
    return {HostFailure::Kind::kOutOfMemory, "out of memory"};
  } catch (const std::exception& e) {
    return {HostFailure::Kind::kOther, e.what()};
  } catch (...) {
    return {HostFailure::Kind::kOther, "an unknown error"};
  }
}

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
    job();  // a packaged task: what the job throws comes back as a HostFailure
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
