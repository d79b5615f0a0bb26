#include "cli/terminal_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "image/pager_charset.h"
#include "image/plain_text.h"

namespace ccp::cli {

namespace {

std::string hexEscape(std::uint32_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned>(byte));
  return text;
}

// A control character: \x7f below 0x80, \u0085 above, apart from a stray byte (\x85).
std::string controlEscape(char32_t c) {
  if (c < 0x80) return hexEscape(c);
  char text[16];
  std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(c));
  return text;
}

}  // namespace

std::string escaped(std::string_view utf8) {
  std::string text;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    const std::optional<char32_t> c = nextUtf8Char(utf8, at);
    if (!c) {
      text += hexEscape(static_cast<unsigned char>(utf8[start]));
    } else if (isControlChar(*c)) {
      text += controlEscape(*c);
    } else {
      if (*c == U'\\') text += '\\';
      text.append(utf8.substr(start, at - start));
    }
  }
  return text;
}

std::size_t columns(std::string_view utf8) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < utf8.size(); ++count) nextUtf8Char(utf8, at);
  return count;
}

void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::vector<std::string>> shown;
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    auto& cells = shown.emplace_back();
    for (std::size_t i = 0; i < row.size(); ++i) {
      cells.push_back(escaped(row[i]));
      if (widths.size() == i) widths.push_back(0);
      widths[i] = std::max(widths[i], columns(cells.back()));
    }
  }
  for (const auto& cells : shown) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) line += std::string(widths[i] - columns(cells[i]) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

TypedText typedText(Model model, std::string_view utf8) {
  std::u32string chars;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<char32_t> c = nextUtf8Char(utf8, at);
    if (!c) return {{}, "it is not UTF-8 text"};
    if (isControlChar(*c)) return {{}, "no key types the control character " + controlEscape(*c)};
    chars.push_back(*c);
  }
  PagerBytes bytes = toPagerBytes(model, chars);
  if (bytes.refused) {
    std::string c;
    appendUtf8(c, *bytes.refused);
    return {{}, "the pager has no character '" + c + "'"};
  }
  return {std::move(bytes.bytes), std::nullopt};
}

}  // namespace ccp::cli
