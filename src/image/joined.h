#pragma once

#include <span>
#include <string>
#include <string_view>

namespace ccp {

// The texts one after the other, `separator` between each two: "a, b, c"; empty for none.
std::string joined(std::span<const std::string> texts, std::string_view separator);

}  // namespace ccp
