#pragma once

// Texts as the register's database keeps them. PostgreSQL takes only UTF-8 and cuts nothing,
// SQLite keeps whatever it is given: both get the same UTF-8, so a record reads back with the
// same bytes on either engine.

#include <string>
#include <string_view>

namespace ccp {

// A text of the pager's own bytes (its serial number) as the characters of the table of
// `model` ("QPX730E", "QPX730H"), byte 0 as U+2400, where no pager character is.
std::string storedPagerText(const std::string& model, std::string_view bytes);
// The pager's bytes again. A character the table has no byte for, and a byte that is no UTF-8
// (a text an older program kept in SQLite as it came), stay as they are.
std::string pagerTextOf(const std::string& model, std::string_view stored);

// Any other text: UTF-8 as it is; a byte that is no UTF-8, and a NUL, as "\xNN", and a
// backslash that would read as such an escape as "\x5c".
std::string storedText(std::string_view text);
// The text again, every "\xNN" its byte.
std::string textOf(std::string_view stored);

// What a user typed to find a pager's text, in UTF-8, to compare with what storedPagerText()
// keeps: its characters as they are; a byte that is no UTF-8 (it matches nothing) as "\xNN".
std::string searchedPagerText(std::string_view typed);

}  // namespace ccp
