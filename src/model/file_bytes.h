// Whole-file reads for the model's input files. Every reader takes its file
// into memory in one go and parses from there, so no parse step depends on
// what an earlier read left in a stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace filebytes {

// Fills bytes with the whole content of the regular file at path. False when
// the file cannot be opened, is not a regular file (a directory, a device)
// or cannot be read to its end; bytes is then left empty and error holds
// the reason in the system's words ("No such file or directory").
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace filebytes
