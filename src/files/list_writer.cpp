#include <cstdio>
#include <string_view>

#include "files/list_csv.h"
#include "image/pager_charset.h"
#include "image/plain_text.h"

namespace ccp {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool needsQuotes(const std::string& field, char separator) {
  if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string::npos) {
    return true;
  }
  return !field.empty() && (field.front() == ' ' || field.back() == ' ');
}

std::string quotedIfNeeded(const std::string& field, char separator) {
  if (!needsQuotes(field, separator)) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string codePoint(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

}  // namespace

ListWriter::ListWriter(std::ostream& out, ListDialect dialect)
    : out_(out), dialect_(std::move(dialect)) {}

bool ListWriter::write(const CsvFields& fields, std::string* why) {
  const auto refused = [why](const std::string& reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  std::string record;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string column = "column " + std::to_string(i + 1);
    std::u32string chars;
    for (std::size_t at = 0; at < fields[i].size();) {
      const auto c = nextUtf8Char(fields[i], at);
      if (!c) return refused(column + " is not UTF-8");
      chars += *c;
    }
    std::string bytes = fields[i];
    if (dialect_.encoding == ListEncoding::PagerSet) {
      PagerBytes encoded = toPagerBytes(dialect_.model, chars);
      if (encoded.refused) {
        return refused(column + ": " + encodingName(dialect_) + " has no character " +
                       codePoint(*encoded.refused));
      }
      bytes = std::move(encoded.bytes);
    }
    if (i > 0) record += dialect_.separator;
    record += quotedIfNeeded(bytes, dialect_.separator);
  }
  record += dialect_.lineEnd;
  if (!started_ && dialect_.byteOrderMark) out_ << kByteOrderMark;
  started_ = true;
  out_ << record;
  return true;
}

}  // namespace ccp
