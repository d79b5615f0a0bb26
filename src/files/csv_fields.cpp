#include "files/csv_fields.h"

namespace ccp {

std::vector<CsvFields> parseCsv(std::string_view text) {
  std::vector<CsvFields> records;
  CsvFields record;
  std::string field;
  bool quoted = false;
  bool pending = false;  // a record has begun and is not yet kept
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    pending = true;
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      if (c == '\r') ++i;
      record.push_back(std::move(field));
      field.clear();
      records.push_back(std::move(record));
      record.clear();
      pending = false;
    } else {
      field += c;
    }
  }
  if (pending) {
    record.push_back(std::move(field));
    records.push_back(std::move(record));
  }
  return records;
}

std::string csvText(std::string_view field) {
  const bool escaped = field.size() >= 2 && field[0] == '\'' &&
                       std::string_view("=+-@\t").find(field[1]) != std::string_view::npos;
  return std::string(escaped ? field.substr(1) : field);
}

}  // namespace ccp
