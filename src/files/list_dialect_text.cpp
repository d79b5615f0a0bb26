#include "files/list_dialect_text.h"

#include <array>
#include <utility>

namespace ccp {

namespace {

constexpr std::array<std::pair<char, std::string_view>, 3> kSeparators = {
    {{',', "comma"}, {';', "semicolon"}, {'\t', "tab"}}};

constexpr std::string_view kUtf8 = "UTF-8";
constexpr std::string_view kUtf8WithMark = "UTF-8-BOM";

}  // namespace

std::string listDialectText(const ListDialect& dialect) {
  std::string text;
  for (const auto& [separator, name] : kSeparators) {
    if (separator == dialect.separator) text = name;
  }
  if (dialect.encoding == ListEncoding::Utf8) {
    text += " " + std::string(dialect.byteOrderMark ? kUtf8WithMark : kUtf8);
  } else {
    text += " " + encodingName(dialect);
  }
  return text + (dialect.lineEnd == "\r\n" ? " CRLF" : " LF");
}

std::optional<ListDialect> parseListDialectText(std::string_view text, Model model) {
  const auto first = text.find(' ');
  const auto last = text.rfind(' ');
  if (first == std::string_view::npos || first == last) return std::nullopt;
  ListDialect dialect;
  dialect.model = model;
  bool separatorKnown = false;
  for (const auto& [separator, name] : kSeparators) {
    if (name == text.substr(0, first)) {
      dialect.separator = separator;
      separatorKnown = true;
    }
  }
  const std::string_view encoding = text.substr(first + 1, last - first - 1);
  if (encoding == kUtf8WithMark) {
    dialect.byteOrderMark = true;
  } else if (encoding != kUtf8) {
    dialect.encoding = ListEncoding::PagerSet;
    if (encoding != encodingName(dialect)) return std::nullopt;
  }
  const std::string_view lineEnd = text.substr(last + 1);
  if (!separatorKnown || (lineEnd != "LF" && lineEnd != "CRLF")) return std::nullopt;
  dialect.lineEnd = lineEnd == "CRLF" ? "\r\n" : "\n";
  return dialect;
}

}  // namespace ccp
