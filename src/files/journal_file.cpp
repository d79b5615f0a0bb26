#include "files/journal_file.h"

#include <filesystem>
#include <fstream>
#include <string_view>

namespace ccp {

namespace fs = std::filesystem;

namespace {

bool needsQuotes(const std::string& field) {
  if (field.find_first_of(",\"\r\n") != std::string::npos) return true;
  return !field.empty() && (field.front() == ' ' || field.back() == ' ');
}

// A spreadsheet takes a cell that starts with one of these for a formula; a serial number read
// from a pager or a file could be made to start with one.
bool looksLikeFormula(const std::string& field) {
  return !field.empty() && std::string_view("=+-@\t").find(field.front()) != std::string::npos;
}

std::string csvField(const std::string& text) {
  const std::string field = looksLikeFormula(text) ? "'" + text : text;
  if (!needsQuotes(field)) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::string csvRecord(const std::vector<std::string>& fields) {
  std::string record;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) record += ',';
    record += csvField(fields[i]);
  }
  return record + '\n';
}

bool appendCsvRecord(const std::string& path, const std::vector<std::string>& header,
                     const std::vector<std::string>& fields) {
  const fs::path file(path);
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  if (fs::is_directory(file, ec)) return false;
  const bool fresh = !fs::exists(file, ec) || fs::file_size(file, ec) == 0;
  // A new journal gets its header together with its first record.
  const std::string text = (fresh ? csvRecord(header) : std::string()) + csvRecord(fields);
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (!out.is_open()) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

}  // namespace ccp
