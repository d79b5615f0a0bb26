#include "files/csv_fields.h"

namespace ccp {

namespace {

// A spreadsheet takes a cell that starts with one of these for a formula; a serial number read
// from a pager or a file could be made to start with one.
constexpr std::string_view kFormulaStarts = "=+-@\t";

bool needsQuotes(const std::string& field) {
  if (field.find_first_of(",\"\r\n") != std::string::npos) return true;
  return !field.empty() && (field.front() == ' ' || field.back() == ' ');
}

bool looksLikeFormula(std::string_view field) {
  return !field.empty() && kFormulaStarts.find(field.front()) != std::string_view::npos;
}

// A formula's first character after any number of apostrophes: "=SUM(1)", "'=SUM(1)".
bool formulaAfterApostrophes(std::string_view field) {
  const auto first = field.find_first_not_of('\'');
  return first != std::string_view::npos && looksLikeFormula(field.substr(first));
}

std::string csvField(const std::string& text) {
  // One apostrophe more than the text has, so that csvText() gives back any such text.
  const std::string field = formulaAfterApostrophes(text) ? "'" + text : text;
  if (!needsQuotes(field)) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::string csvRecord(const CsvFields& fields) {
  std::string record;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) record += ',';
    record += csvField(fields[i]);
  }
  return record + '\n';
}

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
  const bool kept = field.starts_with('\'') && formulaAfterApostrophes(field);
  return std::string(kept ? field.substr(1) : field);
}

}  // namespace ccp
