#pragma once

// Reads back what csvRecord writes, and what a spreadsheet saves of it.

#include <string>
#include <string_view>
#include <vector>

namespace ccp {

using CsvFields = std::vector<std::string>;

// The records of a CSV text: quoted fields with doubled quotes and line breaks inside, lines
// ended by "\n" or "\r\n", a last line without a line break.
std::vector<CsvFields> parseCsv(std::string_view text);

// A field as it was before csvRecord kept it from being taken for a formula: the apostrophe
// before a leading "=", "+", "-", "@" or tab dropped; any other field as it stands.
std::string csvText(std::string_view field);

}  // namespace ccp
