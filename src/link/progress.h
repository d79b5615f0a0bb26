#pragma once

#include <functional>
#include <string_view>

namespace ccp {

// Told after each page or record of a transfer, so a window can show how far it got. It runs
// between bus steps and only ever adds time; no wait of the transfer is shortened by it.
using Progress = std::function<void(std::string_view step, int done, int total)>;

}  // namespace ccp
