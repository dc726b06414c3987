#pragma once
// Little-endian access to byte buffers: the wire, the image and the file all
// use it. Every access is bounded by the span; reads outside give 0 and
// writes outside do nothing.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavio {

inline uint16_t GetU16(std::span<const uint8_t> b, size_t offset) {
  if (offset > b.size() || b.size() - offset < 2) return 0;
  return static_cast<uint16_t>(b[offset] | (b[offset + 1] << 8));
}

inline uint32_t GetU32(std::span<const uint8_t> b, size_t offset) {
  if (offset > b.size() || b.size() - offset < 4) return 0;
  return static_cast<uint32_t>(b[offset]) | (static_cast<uint32_t>(b[offset + 1]) << 8) |
         (static_cast<uint32_t>(b[offset + 2]) << 16) | (static_cast<uint32_t>(b[offset + 3]) << 24);
}

inline void PutU16(std::span<uint8_t> b, size_t offset, uint16_t value) {
  if (offset > b.size() || b.size() - offset < 2) return;
  b[offset] = static_cast<uint8_t>(value);
  b[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void PutU32(std::span<uint8_t> b, size_t offset, uint32_t value) {
  if (offset > b.size() || b.size() - offset < 4) return;
  b[offset] = static_cast<uint8_t>(value);
  b[offset + 1] = static_cast<uint8_t>(value >> 8);
  b[offset + 2] = static_cast<uint8_t>(value >> 16);
  b[offset + 3] = static_cast<uint8_t>(value >> 24);
}

}  // namespace tavio
