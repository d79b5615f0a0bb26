#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "files/csv_fields.h"

namespace ccp::test {

using CsvRow = std::vector<std::string>;

// The records of a CSV text.
inline std::vector<CsvRow> parseCsv(std::string_view text) {
  std::istringstream in{std::string(text)};
  CsvReader reader(in);
  std::vector<CsvRow> records;
  while (auto line = reader.next(text.size())) records.push_back(std::move(line->fields));
  return records;
}

// Reads a CSV file back, quoted fields included; nothing when it is missing.
inline std::vector<CsvRow> readCsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return parseCsv(text.str());
}

}  // namespace ccp::test
