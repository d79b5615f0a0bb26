#pragma once

// Small helpers of the register's statements, the same on both engines.

#include <soci/soci.h>

#include <optional>
#include <string>
#include <string_view>

namespace ccp {

// A number read with its indicator: none when the column is NULL.
inline std::optional<long long> known(long long value, soci::indicator indicator) {
  return indicator == soci::i_ok ? std::optional(value) : std::nullopt;
}

// A number to bind with its indicator: NULL when there is none.
inline soci::indicator knownIndicator(const std::optional<long long>& value) {
  return value ? soci::i_ok : soci::i_null;
}

// Numbers as SQL lists them: "1, 2, 3".
template <class Numbers>
std::string numberList(const Numbers& numbers) {
  std::string list;
  for (const auto number : numbers) list += (list.empty() ? "" : ", ") + std::to_string(number);
  return list;
}

// The same in parentheses, as IN takes them.
template <class Numbers>
std::string sqlList(const Numbers& numbers) {
  return "(" + numberList(numbers) + ")";
}

// A text as SQL writes it: in single quotes, each one within doubled.
std::string sqlText(std::string_view text);

// Prepares a statement whose values were exchanged already.
void prepareStatement(soci::statement& statement, const std::string& text);

}  // namespace ccp
