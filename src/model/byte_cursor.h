// A read position over a buffer that knows where the buffer ends. Every read
// is checked: a read that would pass the end delivers nothing and returns
// false. Skipping may run past the end, because skipped bytes carry nothing
// the reader needs; the next real read then fails.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

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

  // Assembles `count` little-endian bytes and advances past them.
  std::uint32_t Little(int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | m_pData[m_nPos + i];
    m_nPos += static_cast<std::size_t>(count);
    return value;
  }

  const std::uint8_t* m_pData;
  std::size_t m_nSize;
  std::size_t m_nPos = 0;
};
