#pragma once

// Text on the terminal is UTF-8; the pager's texts are its bytes, read through its model's
// table (utf8Text() of image/pager_charset.h).

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "image/build_config.h"

namespace ccp::cli {

// Text the terminal may print: UTF-8 whose control characters show as \x1b or \u0085 and
// bytes that are no UTF-8 as \x85; a backslash shows as \\, so no two texts look alike.
std::string escaped(std::string_view utf8);

// Columns a UTF-8 text takes on the terminal: one per character, not per byte.
std::size_t columns(std::string_view utf8);

// Rows of cells, each cell escaped(), in columns as wide as their widest cell, two blanks apart.
void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

// A value of the command line as the pager's bytes, or why it cannot be typed: it is no UTF-8,
// has a control character (no keyboard types one into the window), or a character the pager
// cannot hold.
struct TypedText {
  std::string bytes;
  std::optional<std::string> refusal;
};
TypedText typedText(Model model, std::string_view utf8);

}  // namespace ccp::cli
