// Pixel colours as tests compare them: 8-bit red, green, blue, and an
// assertion that two colours agree within a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

using Rgb = std::array<int, 3>;

inline ::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected, int tolerance = 3) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(actual[i] - expected[i]) > tolerance) {
      return ::testing::AssertionFailure()
             << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << "), expected ("
             << expected[0] << ", " << expected[1] << ", " << expected[2] << ")";
    }
  }
  return ::testing::AssertionSuccess();
}
