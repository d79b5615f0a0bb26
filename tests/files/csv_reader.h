#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace ccp::test {

using CsvRow = std::vector<std::string>;

// Reads a CSV file back, quoted fields included; nothing when it is missing.
inline std::vector<CsvRow> readCsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string field;
  bool quoted = false;
  const std::string s = text.str();
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quoted) {
      if (c == '"' && i + 1 < s.size() && s[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',' || c == '\n') {
      row.push_back(field);
      field.clear();
      if (c == '\n') rows.push_back(std::exchange(row, {}));
    } else {
      field += c;
    }
  }
  return rows;
}

}  // namespace ccp::test
