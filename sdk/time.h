// Animation time: 32-bit ticks, 4800 per second, 160 per frame, and closed intervals of it.
#pragma once
#include <algorithm>
#include <climits>

using TimeValue = int;

constexpr TimeValue TIME_NegInfinity = INT_MIN;
constexpr TimeValue TIME_PosInfinity = INT_MAX;
constexpr int TIME_TICKSPERSEC = 4800;

inline int GetTicksPerFrame() { return 160; }
inline int GetFrameRate() { return TIME_TICKSPERSEC / GetTicksPerFrame(); }

// A closed interval [start, end] of time; NEVER (both ends at -infinity) contains no time.
class Interval {
 public:
  constexpr Interval() = default;  // NEVER
  constexpr Interval(TimeValue s, TimeValue e) : start_(std::min(s, e)), end_(std::max(s, e)) {}

  constexpr TimeValue Start() const { return start_; }
  constexpr TimeValue End() const { return end_; }
  constexpr bool Empty() const { return start_ == TIME_NegInfinity && end_ == TIME_NegInfinity; }
  constexpr bool InInterval(TimeValue t) const { return !Empty() && start_ <= t && t <= end_; }
  constexpr bool InInterval(const Interval& i) const {
    return !Empty() && !i.Empty() && start_ <= i.start_ && i.end_ <= end_;
  }
  constexpr void Set(TimeValue s, TimeValue e) { *this = Interval(s, e); }
  constexpr void SetStart(TimeValue s) { *this = Interval(s, std::max(s, end_)); }
  constexpr void SetEnd(TimeValue e) { *this = Interval(std::min(start_, e), e); }
  constexpr void SetInfinite() {
    start_ = TIME_NegInfinity;
    end_ = TIME_PosInfinity;
  }
  constexpr void SetEmpty() { start_ = end_ = TIME_NegInfinity; }
  constexpr void SetInstant(TimeValue t) { start_ = end_ = t; }

  // Intersection; disjoint intervals give NEVER.
  constexpr Interval& operator&=(const Interval& o) {
    if (Empty() || o.Empty()) {
      SetEmpty();
      return *this;
    }
    TimeValue s = std::max(start_, o.start_), e = std::min(end_, o.end_);
    if (s > e) SetEmpty();
    else {
      start_ = s;
      end_ = e;
    }
    return *this;
  }
  constexpr Interval operator&(const Interval& o) const {
    Interval r = *this;
    r &= o;
    return r;
  }
  constexpr bool operator==(const Interval& o) const = default;

 private:
  TimeValue start_ = TIME_NegInfinity;
  TimeValue end_ = TIME_NegInfinity;
};

inline constexpr Interval FOREVER{TIME_NegInfinity, TIME_PosInfinity};
inline constexpr Interval NEVER{};
