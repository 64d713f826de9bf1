// The writing side read back by the reading side: whatever the writer puts
// down, the cursor finds again, at the offsets the formats expect.
#include "io/byte_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "io/byte_cursor.h"

namespace {

TEST(ByteWriter, EveryValueReadsBackThroughTheCursor) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> anyInt(std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max());
  for (int round = 0; round < 200; ++round) {
    const auto u8 = static_cast<std::uint8_t>(anyInt(random));
    const auto i16 = static_cast<std::int16_t>(anyInt(random));
    const std::int32_t i32 = anyInt(random);
    const float f32 = static_cast<float>(anyInt(random)) / 7.0f;
    const std::size_t zeros = static_cast<std::size_t>(round % 5);

    ByteWriter out(1);
    out.U8(u8);
    out.I16(i16);
    out.I32(0);
    out.F32(f32);
    out.Text("LGMD");
    out.Zeros(zeros);
    out.PatchI32(3, i32);
    const std::vector<std::uint8_t> bytes = out.Take();
    ASSERT_EQ(bytes.size(), 1 + 2 + 4 + 4 + 4 + zeros);

    ByteCursor in(bytes.data(), bytes.size());
    std::uint8_t readU8 = 0;
    std::int16_t readI16 = 0;
    std::int32_t readI32 = 0;
    float readF32 = 0.0f;
    ASSERT_TRUE(in.ReadU8(readU8) && in.ReadI16(readI16) && in.ReadI32(readI32) &&
                in.ReadF32(readF32));
    EXPECT_EQ(readU8, u8);
    EXPECT_EQ(readI16, i16);
    EXPECT_EQ(readI32, i32) << "the patched value";
    EXPECT_EQ(readF32, f32);
    EXPECT_EQ(std::string(bytes.begin() + 11, bytes.begin() + 15), "LGMD");
    for (std::size_t i = 15; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0u);
  }
}

// Little-endian whatever the machine: the low byte comes first.
TEST(ByteWriter, LowByteFirst) {
  ByteWriter out;
  out.I16(0x0102);
  out.I32(0x03040506);
  out.F32(1.0f);  // 0x3F800000
  EXPECT_EQ(out.Take(), (std::vector<std::uint8_t>{0x02, 0x01, 0x06, 0x05, 0x04, 0x03, 0x00, 0x00,
                                                   0x80, 0x3F}));
}

}  // namespace
