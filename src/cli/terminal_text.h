#pragma once

// Text on the terminal is UTF-8; the pager's texts are its bytes, read through its model's
// table (utf8Text() of image/pager_charset.h).

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands/setting_text.h"

namespace ccp::cli {

// Text the terminal may print, and a value typed as the pager's characters: the window's own.
using ccp::escaped;
using ccp::TypedText;
using ccp::typedText;

// Columns a UTF-8 text takes on the terminal: one per character, not per byte.
std::size_t columns(std::string_view utf8);

// Rows of cells, each cell escaped(), in columns as wide as their widest cell, two blanks apart.
void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

}  // namespace ccp::cli
