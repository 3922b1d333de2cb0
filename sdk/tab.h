// Growable tables, the host's array type for node lists and the like.
#pragma once
#include <algorithm>
#include <vector>

// A growable array of plain values.
template <class T>
class Tab {
 public:
  int Count() const { return static_cast<int>(v_.size()); }
  void SetCount(int n) { v_.resize(n < 0 ? 0 : static_cast<size_t>(n)); }
  void ZeroCount() { v_.clear(); }
  // Appends num items from p; returns the index of the first.
  int Append(int num, const T* p) {
    int at = Count();
    for (int k = 0; k < num; ++k) v_.push_back(p[k]);
    return at;
  }
  // Inserts num items from p at index at (clamped to the end); returns the index used.
  int Insert(int at, int num, const T* p) {
    at = std::clamp(at, 0, Count());
    // Appended, then rotated into place (a ranged insert trips a false overflow warning of g++ 12).
    for (int k = 0; k < num; ++k) v_.push_back(p[k]);
    std::rotate(v_.begin() + at, v_.end() - num, v_.end());
    return at;
  }
  int Delete(int start, int num) {
    start = std::clamp(start, 0, Count());
    num = std::clamp(num, 0, Count() - start);
    v_.erase(v_.begin() + start, v_.begin() + start + num);
    return Count();
  }
  T& operator[](int i) { return v_[static_cast<size_t>(i)]; }
  const T& operator[](int i) const { return v_[static_cast<size_t>(i)]; }
  T* Addr(int i) { return v_.data() + i; }
  const std::vector<T>& vec() const { return v_; }

 private:
  std::vector<T> v_;
};

// Inserts one item at index at of tab (the end for at >= Count()); returns the index used.
template <class T>
int TBInsertAt(Tab<T>& tab, T item, int at) {
  return tab.Insert(at, 1, &item);
}
