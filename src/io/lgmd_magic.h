// The first four bytes of every LGMD model file. The reader refuses a file
// without them; the viewer's folder browsing skips such files.
#pragma once

#include <string>

inline constexpr char kLgmdMagic[4] = {'L', 'G', 'M', 'D'};

// True when path is a regular file that begins with the magic. Reads only
// those four bytes.
bool HasLgmdMagic(const std::string& path);
