#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "shell/controls.h"

namespace ccp {

// A text that cannot be read as a number. It abandons the whole user action; the dispatch
// boundary shows what() in the platform's error box. what() quotes the text as it is, in the
// pager's bytes, and is otherwise ASCII: the boundary shows it in UTF-8.
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(const std::string& message, std::string field = {})
      : std::runtime_error(message), field_(std::move(field)) {}
  // The control whose text it was; empty when the text came from elsewhere.
  const std::string& field() const { return field_; }

 private:
  std::string field_;
};

// Strict decimal conversion: optional sign and digits only, within 32 bits; anything else
// throws "'<text>' is not a valid integer value".
int toInt(std::string_view text);

// Decimal floating-point conversion ("." as the point); anything else throws
// "'<text>' is not a valid floating point value".
double toFloat(std::string_view text);

// A control's text read as above; a failure names the control.
int toInt(const TextField& field);
int toInt(const ComboBox& list);
double toFloat(const TextField& field);

std::string integerErrorText(std::string_view text);
std::string floatErrorText(std::string_view text);

}  // namespace ccp
