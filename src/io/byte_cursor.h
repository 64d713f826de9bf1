// A read position over a buffer that knows where the buffer ends. Every read
// is checked: a read that would pass the end delivers nothing and returns
// false. Skipping may run past the end, because skipped bytes carry nothing
// the reader needs; the next real read then fails.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// The signed 16-bit little-endian value at p, for bytes a cursor handed out
// with Take.
inline std::int16_t LittleI16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

// The unsigned 32-bit little-endian value at p.
inline std::uint32_t LittleU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

class ByteCursor {
 public:
  ByteCursor(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

  std::size_t Size() const { return m_nSize; }
  std::size_t Position() const { return m_nPos; }
  // Bytes left before the end; 0 when the position is at or past the end.
  std::size_t Remaining() const { return m_nPos < m_nSize ? m_nSize - m_nPos : 0; }

  // Moves to an absolute offset. False (position unchanged) when the offset
  // lies outside the buffer; the end itself is a valid position.
  bool Seek(std::int64_t offset) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) > m_nSize) return false;
    m_nPos = static_cast<std::size_t>(offset);
    return true;
  }

  void Skip(std::size_t count) { m_nPos = count > kFar - m_nPos ? kFar : m_nPos + count; }

  bool ReadU8(std::uint8_t& value) {
    if (!Has(1)) return false;
    value = m_pData[m_nPos++];
    return true;
  }

  bool ReadI16(std::int16_t& value) {
    if (!Has(2)) return false;
    value = static_cast<std::int16_t>(Little(2));
    return true;
  }

  bool ReadI32(std::int32_t& value) {
    if (!Has(4)) return false;
    value = static_cast<std::int32_t>(Little(4));
    return true;
  }

  bool ReadF32(float& value) {
    if (!Has(4)) return false;
    value = std::bit_cast<float>(static_cast<std::uint32_t>(Little(4)));
    return true;
  }

  // The next `count` bytes, to be decoded by the caller, or null (position
  // unchanged) when fewer are left. Lets a reader check a whole record once
  // instead of field by field.
  const std::uint8_t* Take(std::size_t count) {
    if (!Has(count)) return nullptr;
    const std::uint8_t* bytes = m_pData + m_nPos;
    m_nPos += count;
    return bytes;
  }

  bool ReadBytes(void* out, std::size_t count) {
    if (!Has(count)) return false;
    auto* dst = static_cast<std::uint8_t*>(out);
    for (std::size_t i = 0; i < count; ++i) dst[i] = m_pData[m_nPos + i];
    m_nPos += count;
    return true;
  }

  // A NUL-padded character field of `width` bytes: the bytes before the
  // first NUL, or all of them when there is none.
  bool ReadName(std::size_t width, std::string& value) {
    if (!Has(width)) return false;
    const char* field = reinterpret_cast<const char*>(m_pData + m_nPos);
    std::size_t length = 0;
    while (length < width && field[length] != '\0') ++length;
    value.assign(field, length);
    m_nPos += width;
    return true;
  }

 private:
  // Where a skip that overshoots parks the position: far past any buffer,
  // with room left so that position arithmetic cannot wrap.
  static constexpr std::size_t kFar = SIZE_MAX / 2;

  bool Has(std::size_t count) const { return m_nPos <= m_nSize && count <= m_nSize - m_nPos; }

  // Assembles `count` (2 or 4) little-endian bytes and advances past them.
  // On a little-endian machine that is a plain copy.
  std::uint32_t Little(int count) {
    std::uint32_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
      if (count == 4) {
        std::memcpy(&value, m_pData + m_nPos, 4);
      } else {
        std::uint16_t half = 0;
        std::memcpy(&half, m_pData + m_nPos, 2);
        value = half;
      }
    } else {
      for (int i = count - 1; i >= 0; --i) value = (value << 8) | m_pData[m_nPos + i];
    }
    m_nPos += static_cast<std::size_t>(count);
    return value;
  }

  const std::uint8_t* m_pData;
  std::size_t m_nSize;
  std::size_t m_nPos = 0;
};
