// Little-endian stores for the binary formats (PLY, glb).
#pragma once
#include <bit>
#include <cstdint>

// Stores v at p in little-endian order and returns the next position.
inline char* PutU32(char* p, std::uint32_t v) {
  // Byte by byte so the layout is little-endian on any machine; compilers fuse it into one store.
  for (int i = 0; i < 4; ++i) *p++ = static_cast<char>((v >> (8 * i)) & 0xFF);
  return p;
}
inline char* PutF32(char* p, float f) { return PutU32(p, std::bit_cast<std::uint32_t>(f)); }
