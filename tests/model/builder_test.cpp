// The builder must lay files out exactly as the format does, or every test
// built on it would test nothing.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "lgmd_builder/lgmd_builder.h"
#include "support/lgmd_examples.h"

namespace {

std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                   static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::int16_t I16At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] | b[at + 1] << 8);
}

float F32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(I32At(b, at)));
}

TEST(LgmdBuilder, TriangleModelHasTheFormatLayout) {
  const auto bytes = lgmd::Build(lgmd::TriangleModel());
  ASSERT_EQ(bytes.size(), 331u);
  EXPECT_EQ(std::memcmp(bytes.data(), "LGMD", 4), 0);
  EXPECT_EQ(I32At(bytes, 4), 2);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "tri\0\0\0\0\0", 8), 0);
  EXPECT_EQ(I16At(bytes, 60), 1);  // polygons
  EXPECT_EQ(I16At(bytes, 62), 3);  // vertices
  EXPECT_EQ(bytes[66], 1);         // materials
  EXPECT_EQ(bytes[69], 1);         // objects, root included

  const std::int32_t table[10] = {110, 203, 229, 253, 253, 289, 289, 301, 331, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(I32At(bytes, 70 + 4 * i), table[i]) << "entry " << i;

  // Root object: identity matrix, no child.
  EXPECT_EQ(F32At(bytes, 110 + 21), 1.0f);
  EXPECT_EQ(I16At(bytes, 110 + 69), -1);
  // Material record.
  EXPECT_EQ(std::memcmp(bytes.data() + 203, "wall", 5), 0);
  EXPECT_EQ(bytes[203 + 16], 0);   // kind
  EXPECT_EQ(bytes[203 + 17], 7);   // id
  EXPECT_EQ(bytes[203 + 18], 12);  // blue
  // Texture coordinates, vertices, the normal.
  EXPECT_EQ(F32At(bytes, 229 + 8), 1.0f);
  EXPECT_EQ(F32At(bytes, 253 + 12), 1.0f);
  EXPECT_EQ(F32At(bytes, 289 + 8), 1.0f);
  // Polygon record: material id, flags, corners, normal, indices.
  EXPECT_EQ(I16At(bytes, 301 + 2), 7);
  EXPECT_EQ(bytes[301 + 4], 0);
  EXPECT_EQ(bytes[301 + 5], 3);
  EXPECT_EQ(I16At(bytes, 301 + 6), 0);
  const std::int16_t indices[9] = {0, 1, 2, 0, 0, 0, 0, 1, 2};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(I16At(bytes, 301 + 12 + 2 * i), indices[i]) << i;
}

TEST(LgmdBuilder, VersionFourPadsEveryPolygonAndOverridesApply) {
  auto desc = lgmd::TriangleModel();
  desc.version = 3;
  const auto v3 = lgmd::Build(desc);
  desc.version = 4;
  const auto v4 = lgmd::Build(desc);
  desc.version = 5;
  const auto v5 = lgmd::Build(desc);
  EXPECT_EQ(v4.size(), v3.size() + 1);
  EXPECT_EQ(v5.size(), v3.size());

  desc.vertexCount = -4;
  desc.objectCount = 0;
  desc.sectionTable = std::array<std::int32_t, 10>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  desc.trailer = {0xAB, 0xCD};
  const auto bad = lgmd::Build(desc);
  EXPECT_EQ(I16At(bad, 62), -4);
  EXPECT_EQ(bad[69], 0);
  EXPECT_EQ(I32At(bad, 70 + 36), 10);
  EXPECT_EQ(bad.size(), v5.size() + 2);
  EXPECT_EQ(bad.back(), 0xCD);
}

TEST(LgmdBuilder, MipHeaderAndPadding) {
  const auto mip = lgmd::BuildMip(2, 3, {1, 2, 3, 4, 5, 6}, 16);
  ASSERT_EQ(mip.size(), 22u);
  EXPECT_EQ(I32At(mip, 0), 16);
  EXPECT_EQ(I16At(mip, 8), 2);
  EXPECT_EQ(I16At(mip, 10), 3);
  EXPECT_EQ(mip[16], 1);
  EXPECT_EQ(mip[21], 6);
}

}  // namespace
