#pragma once

// Plain text as the program's lists and settings lines take it apart and put it together.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ccp {

// The texts one after the other, `separator` between each two: "a, b, c"; empty for none.
std::string joined(std::span<const std::string> texts, std::string_view separator);

// The text without the white space at either end.
std::string_view trimmed(std::string_view text);

// The text with its letters A to Z in lower case.
std::string lowered(std::string_view text);

// Character `c` in UTF-8, after `out`.
void appendUtf8(std::string& out, char32_t c);

// The character at text[at], moving `at` past it; nothing (and one byte on) when the bytes
// there are no UTF-8: a stray or missing continuation, an overlong form, a surrogate, or a
// code point beyond U+10FFFF.
std::optional<char32_t> nextUtf8Char(std::string_view text, std::size_t& at);

// Every byte of the text is part of a UTF-8 character.
bool isUtf8(std::string_view text);

}  // namespace ccp
