// Paths are UTF-8 everywhere inside the program. The system takes them as
// they are on POSIX; Windows takes UTF-16, converted here at the call.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace syspath {

// The UTF-8 path as a path object the standard library hands the system.
std::filesystem::path FromUtf8(const std::string& utf8);
// And back, in UTF-8.
std::string ToUtf8(const std::filesystem::path& path);

// True for the characters that end a folder's name: '/' everywhere, and
// '\' on Windows too.
constexpr bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}
// The separators as one string, for find_last_of and friends.
#ifdef _WIN32
inline constexpr const char* kSeparators = "/\\";
#else
inline constexpr const char* kSeparators = "/";
#endif

#ifdef _WIN32
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
// A system error code in words. The common ones read as the POSIX side
// says them ("No such file or directory"), so messages are the same on
// both systems; the rest in the system's own words.
std::string ErrorText(unsigned long code);
// The program's arguments as the user typed them, in UTF-8: the char** of
// main has them in the system's code page, which cannot hold every name.
std::vector<std::string> Utf8Arguments();
#endif

}  // namespace syspath
