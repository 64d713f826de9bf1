// A PNG file read back as 8-bit RGB, for tests that look at the pictures the
// program writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  int channels = 0;  // as stored in the file
  std::vector<std::uint8_t> rgb;
};

// The picture in the file at path; 0 x 0 with no pixels when it cannot be
// read.
Picture LoadPicture(const std::string& path);
