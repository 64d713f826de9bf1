// Names from files shown to a person: nothing in them may act on a terminal
// or break a message's lines.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "io/printable_name.h"

namespace {

TEST(PrintableName, EscapesControlBytesAndKeepsTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"wing_01.mip", "wing_01.mip"},
      {"\x1b[2J", "\\x1b[2J"},              // clear screen
      {"a\r\nb\tc", "a\\x0d\\x0ab\\x09c"},  // line breaks and tabs
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x7f\x80\x9b\x9f", "\\x7f\\x80\\x9b\\x9f"},          // DEL and the 8-bit controls
      {"caf\xe9 \xa0\xff", "caf\xc3\xa9 \xc2\xa0\xc3\xbf"},  // Latin-1 as UTF-8
      {"sub\\back x1b", "sub\\back x1b"},
      {"", ""},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(PrintableName(name), shown) << shown;
}

}  // namespace
