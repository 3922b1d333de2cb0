// The host thread of `gramora serve`: the plug-in and the host scene run on one thread only, as
// in the application they were written for, while requests arrive on the web server's threads.
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>

class HostQueue {
 public:
  // Runs queued jobs on the calling thread until Stop.
  void Serve();
  // Makes Serve return once the job it is running (if any) is done.
  void Stop();

  // From any other thread: queues fn for the host thread; the future gives its result or rethrows
  // what it threw.
  template <class Fn>
  auto Post(Fn fn) -> std::future<decltype(fn())> {
    using R = decltype(fn());
    auto task = std::make_shared<std::packaged_task<R()>>(std::move(fn));
    std::future<R> result = task->get_future();
    Push([task] { (*task)(); });
    return result;
  }
  // Runs fn on the host thread and waits for its result.
  template <class Fn>
  auto Call(Fn fn) -> decltype(fn()) {
    return Post(std::move(fn)).get();
  }

 private:
  void Push(std::function<void()> job);
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stop_ = false;
};
