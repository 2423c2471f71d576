#pragma once
// Little-endian reading and writing over byte buffers. Reads are bounds-checked by the
// callers' size tests; these helpers only assemble and split the bytes.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace engine::xls {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline double GetDouble(const std::uint8_t* p) {
  std::uint64_t bits = Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

inline void Put8(Bytes& out, unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }
inline void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void PutDouble(Bytes& out, double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof d);
  Put32(out, static_cast<std::uint32_t>(bits));
  Put32(out, static_cast<std::uint32_t>(bits >> 32));
}
inline void Set16(Bytes& out, std::size_t at, unsigned v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Set32(Bytes& out, std::size_t at, std::uint32_t v) {
  Set16(out, at, v & 0xFFFF);
  Set16(out, at + 2, v >> 16);
}

}  // namespace engine::xls
