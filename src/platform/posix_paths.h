// File-system facts the program needs on POSIX, shared by every platform
// implementation and by the headless commands.
#pragma once

#include <string>

namespace platform {

// The running executable's full path (/proc/self/exe); empty when unknown.
std::string ExecutablePath();

// The directory part of the executable's path, ending with '/'.
std::string ExecutableDirectory();

// The canonical absolute path of an existing directory; a trailing '/'
// given is kept. False for the empty string, a path that does not exist,
// and a path that is not a directory.
bool CanonicalDirectory(const std::string& path, std::string& canonical);

}  // namespace platform
