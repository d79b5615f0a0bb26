#pragma once

// A list's dialect as a short text, kept beside the list so that it is written back in the
// dialect it came in: "semicolon Windows-1252 CRLF", "comma UTF-8-BOM LF".

#include <optional>
#include <string>
#include <string_view>

#include "files/list_csv.h"

namespace ccp {

// Its separator (comma, semicolon, tab), encoding (UTF-8, UTF-8-BOM, Windows-1252,
// Windows-1255) and line end (LF, CRLF), a blank between each two.
std::string listDialectText(const ListDialect& dialect);
// The dialect such a text names, of a list read by a program for `model`; nothing for any other
// text, or a single-byte set that is not the model's.
std::optional<ListDialect> parseListDialectText(std::string_view text, Model model);

}  // namespace ccp
