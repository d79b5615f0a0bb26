// A pager's rows as the register reads them from a record, uses them, and keeps them as text.
#include <algorithm>

#include "image/capcode.h"
#include "register/pager_register.h"

namespace ccp {

namespace {

constexpr char kDisabledMark = '-';
constexpr char kNoCapcode = 'x';  // a row whose capcode is not a number

bool contains(const std::vector<int>& rows, int row) {
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

}  // namespace

PagerRows recordRows(const Record& record) {
  PagerRows rows;
  for (int row = 1; row <= kAddressCount; ++row) {
    rows.capcodes[row - 1] = capcodeNumber(record.capcodes[row - 1]);
    rows.enabled[row - 1] = record.enabledRows.empty() || contains(record.enabledRows, row);
  }
  return rows;
}

std::vector<RowUse> rowUses(const PagerRows& rows, const std::vector<int>& individualRows) {
  std::vector<RowUse> uses;
  for (int row = 1; row <= kAddressCount; ++row) {
    const auto& capcode = rows.capcodes[row - 1];
    if (rows.enabled[row - 1] && capcode) {
      uses.push_back({row, *capcode, contains(individualRows, row)});
    }
  }
  return uses;
}

std::vector<RowUse> recordUses(const Record& record) {
  return rowUses(recordRows(record),
                 record.individualRows.empty() ? std::vector<int>{1} : record.individualRows);
}

std::string pagerRowsText(const std::optional<PagerRows>& rows) {
  if (!rows) return {};
  std::string text;
  for (int row = 0; row < kAddressCount; ++row) {
    if (row > 0) text += ' ';
    if (!rows->enabled[row]) text += kDisabledMark;
    const auto& capcode = rows->capcodes[row];
    text += capcode ? capcodeText(*capcode) : std::string(1, kNoCapcode);
  }
  return text;
}

std::optional<PagerRows> parsePagerRows(std::string_view text) {
  PagerRows rows;
  for (int row = 0; row < kAddressCount; ++row) {
    if (row > 0) {
      if (!text.starts_with(' ')) return std::nullopt;
      text.remove_prefix(1);
    }
    const std::string_view item = text.substr(0, text.find(' '));
    text.remove_prefix(item.size());
    std::string_view capcode = item;
    rows.enabled[row] = !capcode.starts_with(kDisabledMark);
    if (!rows.enabled[row]) capcode.remove_prefix(1);
    if (capcode == std::string_view(&kNoCapcode, 1)) continue;
    rows.capcodes[row] = capcodeNumber(capcode);
    if (!rows.capcodes[row]) return std::nullopt;
  }
  if (!text.empty()) return std::nullopt;
  return rows;
}

}  // namespace ccp
