#include "cli/terminal_text.h"

#include <algorithm>

#include "image/plain_text.h"

namespace ccp::cli {

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

}  // namespace ccp::cli
