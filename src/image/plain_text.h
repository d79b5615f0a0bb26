#pragma once

// Plain text as the program's lists and settings lines take it apart and put it together.

#include <span>
#include <string>
#include <string_view>

namespace ccp {

// The texts one after the other, `separator` between each two: "a, b, c"; empty for none.
std::string joined(std::span<const std::string> texts, std::string_view separator);

// The text without the white space at either end.
std::string_view trimmed(std::string_view text);

}  // namespace ccp
