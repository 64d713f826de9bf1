// Text and file-name rules shared by the platform layers, kept free of the
// toolkit so that they can be checked on their own.
#pragma once

#include <string>

namespace platform {

// Message texts carry "\r\n" line breaks; GTK and terminals want "\n" alone
// (GTK would show the '\r' as a glyph).
std::string ToDisplayLineBreaks(const std::string& text);

// The file name part of path has no '.', so a default extension applies.
bool LacksExtension(const std::string& path);

// "desc|pattern|desc|pattern||" with the empty trailing pairs that some
// callers end their filters with removed; wx reads "||" as an empty filter.
std::string TrimFilter(const std::string& filter);

}  // namespace platform
