#pragma once

// A journal kept as a CSV file: one record a line, only ever appended, so any spreadsheet can
// read it.

#include <string>
#include <vector>

namespace ccp {

// The fields joined by commas; a field holding a comma, a quote, a line break or blanks at
// either end is quoted, its quotes doubled; one a spreadsheet would take for a formula ("=",
// "+", "-", "@" or a tab first) is kept as text by a leading apostrophe. Ends with a line break.
std::string csvRecord(const std::vector<std::string>& fields);

// Appends one record to the file at `path`, creating it (and its folder) when missing; a new
// or empty file gets the header first. False when the record could not be written.
bool appendCsvRecord(const std::string& path, const std::vector<std::string>& header,
                     const std::vector<std::string>& fields);

}  // namespace ccp
