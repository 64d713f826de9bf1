// Names from files (models, materials, texture files) shown to a person.
// Such a name is any bytes at all: an escape sequence in it would steer a
// terminal, and a line break would pass for a line of the message. Every
// place that quotes a name in text for a terminal or a message box runs it
// through PrintableName; JSON output has its own escaping.
#pragma once

#include <string>

// The name as UTF-8 text: printable ASCII as it is, each control byte (0x00
// to 0x1F, 0x7F and 0x80 to 0x9F) as "\x" and two lower-case hex digits,
// and every other byte taken as the Latin-1 character of that code, the
// 8-bit code page the names were written in.
std::string PrintableName(const std::string& bytes);
