#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ccp {

// A text that cannot be read as a number. It abandons the whole user action; the dispatch
// boundary shows what() in the platform's error box.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Strict decimal conversion: optional sign and digits only, within 32 bits; anything else
// throws "'<text>' is not a valid integer value".
int toInt(std::string_view text);

// Decimal floating-point conversion ("." as the point); anything else throws
// "'<text>' is not a valid floating point value".
double toFloat(std::string_view text);

std::string integerErrorText(std::string_view text);
std::string floatErrorText(std::string_view text);

}  // namespace ccp
