// Small text helpers that readers, exporters and commands all need, each
// written once.
#pragma once

#include <string>
#include <string_view>

// ASCII letters to lower case; every other byte as it is. File names of
// the simulator's days were matched ignoring case, byte by byte.
char LowerAscii(char c);
std::string LowerAscii(std::string_view text);

// Names in model files are 8-bit text of the simulator's Windows days;
// today's formats and terminals want UTF-8. Each byte is taken as the
// Latin-1 character of that code. With dropControls, control characters
// (below 0x20, and 0x7F) are left out.
std::string Latin1ToUtf8(std::string_view bytes, bool dropControls = false);

// Every byte that plain(byte) refuses as "%XX", in upper-case hex.
std::string PercentEncode(std::string_view text, bool (*plain)(unsigned char));

// A whole token of an optional sign and decimal digits whose value fits an
// int; false for anything else, a number too large for an int included.
bool ParseInt(std::string_view token, int& value);

// Message texts carry "\r\n" line breaks; GTK and terminals want "\n" alone
// (GTK would show the '\r' as a glyph).
std::string ToDisplayLineBreaks(const std::string& text);
