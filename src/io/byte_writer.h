// Little-endian values appended to a growing byte buffer: the writing side of
// byte_cursor.h, for the exporters and for the tools that make test files.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

class ByteWriter {
 public:
  ByteWriter() = default;
  // Reserves room for what the caller knows it will write, so the buffer
  // grows once.
  explicit ByteWriter(std::size_t capacity) { m_bytes.reserve(capacity); }

  void U8(std::uint8_t value) { m_bytes.push_back(value); }
  void I16(std::int16_t value) { Unsigned(static_cast<std::uint16_t>(value), 2); }
  void I32(std::int32_t value) { Unsigned(static_cast<std::uint32_t>(value), 4); }
  void F32(float value) { Unsigned(std::bit_cast<std::uint32_t>(value), 4); }
  void Floats(std::initializer_list<float> values) {
    for (float v : values) F32(v);
  }
  void Text(std::string_view text) { m_bytes.insert(m_bytes.end(), text.begin(), text.end()); }
  void Bytes(const std::uint8_t* data, std::size_t count) {
    m_bytes.insert(m_bytes.end(), data, data + count);
  }
  void Zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
  // Overwrites four bytes already written.
  void PatchI32(std::size_t offset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) m_bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  }

  std::size_t Size() const { return m_bytes.size(); }
  std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

 private:
  void Unsigned(std::uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  }

  std::vector<std::uint8_t> m_bytes;
};
