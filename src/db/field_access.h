// Reading and writing one field of a record buffer at a fixed offset.
//
// A text field of n characters takes n + 1 bytes: one length byte, then the
// cp1252 characters. Writing cuts the value to n characters and fills the
// unused bytes with zeros, so that a record's stored bytes depend only on its
// values. Reading clamps a damaged length byte to n. Integers are 16-bit and
// reals are 4-byte single precision, both little-endian as the engine stores
// them. Nothing here allocates except the returned strings.
#ifndef VZ_SRC_DB_FIELD_ACCESS_H_
#define VZ_SRC_DB_FIELD_ACCESS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vz::db {

// REQUIRES: record + offset .. offset + width is inside the buffer.
inline std::string_view TextView(const uint8_t* record, size_t offset, size_t width) {
  size_t length = record[offset];
  if (length > width) length = width;
  return {reinterpret_cast<const char*>(record + offset + 1), length};
}

inline std::string GetText(const uint8_t* record, size_t offset, size_t width) {
  return std::string(TextView(record, offset, width));
}

inline void SetText(uint8_t* record, size_t offset, size_t width, std::string_view value) {
  size_t length = value.size() < width ? value.size() : width;
  record[offset] = static_cast<uint8_t>(length);
  std::memcpy(record + offset + 1, value.data(), length);
  std::memset(record + offset + 1 + length, 0, width - length);
}

inline int16_t GetInt16(const uint8_t* record, size_t offset) {
  int16_t value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

inline void SetInt16(uint8_t* record, size_t offset, int16_t value) {
  std::memcpy(record + offset, &value, sizeof value);
}

inline float GetReal(const uint8_t* record, size_t offset) {
  float value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

inline void SetReal(uint8_t* record, size_t offset, float value) {
  std::memcpy(record + offset, &value, sizeof value);
}

}  // namespace vz::db

#endif  // VZ_SRC_DB_FIELD_ACCESS_H_
