// The host thread of `gramora serve`: the plug-in and the host scene run on one thread only, as
// in the application they were written for, while requests arrive on the web server's threads.
#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <type_traits>
#include <variant>

// What a job threw, carried back to the waiting thread as plain values: an exception object is
// never shared between the host thread and a request's thread, so its lifetime needs no
// reference count that the standard library keeps out of the sanitizers' sight.
struct HostFailure {
  enum class Kind { kInput, kOutOfMemory, kOther } kind = Kind::kOther;
  std::string message;
  // Throws, on the calling thread, a new exception of the kind the job threw.
  [[noreturn]] void Raise() const;
};

// The exception being handled, as a HostFailure (call it inside a catch block).
HostFailure CurrentFailure();

// The result of a job queued on the host thread.
template <class R>
class HostFuture {
 public:
  HostFuture() = default;
  explicit HostFuture(std::future<std::variant<R, HostFailure>> f) : future_(std::move(f)) {}
  bool valid() const { return future_.valid(); }
  template <class Rep, class Period>
  std::future_status wait_for(const std::chrono::duration<Rep, Period>& d) const {
    return future_.wait_for(d);
  }
  // The job's value, or a new exception like the one the job threw (std::future_error with a
  // broken promise when the job was dropped).
  R get() {
    auto outcome = future_.get();
    if (auto* failure = std::get_if<HostFailure>(&outcome)) failure->Raise();
    return std::move(std::get<R>(outcome));
  }

 private:
  std::future<std::variant<R, HostFailure>> future_;
};

class HostQueue {
 public:
  // Runs queued jobs on the calling thread until Stop.
  void Serve();
  // Makes Serve return once the job it is running (if any) is done.
  void Stop();

  // From any other thread: queues fn for the host thread.
  template <class Fn>
  auto Post(Fn fn) -> HostFuture<decltype(fn())> {
    using R = decltype(fn());
    static_assert(!std::is_void_v<R>, "host jobs return their result");
    using Outcome = std::variant<R, HostFailure>;
    auto task = std::make_shared<std::packaged_task<Outcome()>>([fn = std::move(fn)]() mutable -> Outcome {
      try {
        return Outcome(std::in_place_index<0>, fn());
      } catch (...) {
        return Outcome(std::in_place_index<1>, CurrentFailure());
      }
    });
    HostFuture<R> result(task->get_future());
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
