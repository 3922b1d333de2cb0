// A large output buffer that formats numbers with std::to_chars and spills to an AtomicFile.
#pragma once
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/atomic_file.h"

// Collects text in one big block and writes it out whenever it fills, so formatting never goes
// through a stream per number.
class TextBuffer {
 public:
  explicit TextBuffer(AtomicFile& file, std::size_t capacity = std::size_t(1) << 22)
      : file_(file), buf_(capacity + kSlack) {}
  ~TextBuffer() = default;

  // Shortest text that reads back as the same float.
  void Float(float f) {
    Reserve();
    pos_ = std::to_chars(buf_.data() + pos_, buf_.data() + buf_.size(), f).ptr - buf_.data();
  }
  void UInt(std::uint64_t n) {
    Reserve();
    pos_ = std::to_chars(buf_.data() + pos_, buf_.data() + buf_.size(), n).ptr - buf_.data();
  }
  void Char(char c) {
    Reserve();
    buf_[pos_++] = c;
  }
  void Text(std::string_view s) {
    for (char c : s) Char(c);
  }
  // Writes whatever is buffered to the file.
  void Flush() {
    file_.Write(buf_.data(), pos_);
    written_ += pos_;
    pos_ = 0;
  }
  std::uint64_t bytes() const { return written_ + pos_; }

 private:
  // Room for the longest single item (a float needs at most 16 characters).
  static constexpr std::size_t kSlack = 64;
  void Reserve() {
    if (pos_ + kSlack > buf_.size()) Flush();
  }
  AtomicFile& file_;
  std::vector<char> buf_;
  std::size_t pos_ = 0;
  std::uint64_t written_ = 0;
};
