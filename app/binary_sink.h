// Little-endian binary output in large blocks, for the PLY and glb writers.
#pragma once
#include <bit>
#include <cstdint>
#include <vector>

#include "app/atomic_file.h"

// Buffers little-endian values and writes them to an AtomicFile in large blocks.
class BinarySink {
 public:
  explicit BinarySink(AtomicFile& file, std::size_t capacity = std::size_t(1) << 22) : file_(file) {
    buf_.reserve(capacity);
  }

  void U8(std::uint8_t v) {
    buf_.push_back(static_cast<char>(v));
    Spill();
  }
  void U32(std::uint32_t v) {
    // Byte by byte so the layout is little-endian on any machine; compilers fuse it into one store.
    for (int i = 0; i < 4; ++i) buf_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    Spill();
  }
  void F32(float f) { U32(std::bit_cast<std::uint32_t>(f)); }
  // Raw bytes, written as they are.
  void Bytes(const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    buf_.insert(buf_.end(), p, p + n);
    Spill();
  }
  // Floats in bulk: copied straight through on little-endian machines.
  void Floats(const float* f, std::size_t n) {
    if constexpr (std::endian::native == std::endian::little) {
      Flush();
      file_.Write(f, n * sizeof(float));
    } else {
      for (std::size_t i = 0; i < n; ++i) F32(f[i]);
    }
  }
  void U32s(const std::uint32_t* v, std::size_t n) {
    if constexpr (std::endian::native == std::endian::little) {
      Flush();
      file_.Write(v, n * sizeof(std::uint32_t));
    } else {
      for (std::size_t i = 0; i < n; ++i) U32(v[i]);
    }
  }
  void Flush() {
    if (!buf_.empty()) file_.Write(buf_.data(), buf_.size());
    buf_.clear();
  }

 private:
  void Spill() {
    if (buf_.size() >= buf_.capacity() - 16) Flush();
  }
  AtomicFile& file_;
  std::vector<char> buf_;
};
