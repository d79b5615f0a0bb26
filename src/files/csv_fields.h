#pragma once

// The CSV text of the journal and the register's exports: written so that any spreadsheet reads
// it, and read back as a spreadsheet may have saved it.

#include <string>
#include <string_view>
#include <vector>

namespace ccp {

using CsvFields = std::vector<std::string>;

// The fields joined by commas; a field holding a comma, a quote, a line break or blanks at
// either end is quoted, its quotes doubled; one a spreadsheet would take for a formula ("=",
// "+", "-", "@" or a tab first) is kept as text by a leading apostrophe, and so is one with
// apostrophes before such a character, so that csvText() gives every field back. Ends with a
// line break.
std::string csvRecord(const CsvFields& fields);

// The records of a CSV text: quoted fields with doubled quotes and line breaks inside, lines
// ended by "\n" or "\r\n", a last line without a line break.
std::vector<CsvFields> parseCsv(std::string_view text);

// A field as it was before csvRecord kept it from being taken for a formula: the first of the
// apostrophes before a leading "=", "+", "-", "@" or tab dropped; any other field as it stands.
std::string csvText(std::string_view field);

}  // namespace ccp
