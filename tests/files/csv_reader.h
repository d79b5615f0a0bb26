#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/csv_fields.h"

namespace ccp::test {

using CsvRow = std::vector<std::string>;

// Reads a CSV file back, quoted fields included; nothing when it is missing.
inline std::vector<CsvRow> readCsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return parseCsv(text.str());
}

}  // namespace ccp::test
