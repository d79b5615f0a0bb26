#include "shell/conversion.h"

#include <cctype>
#include <charconv>
#include <cstdint>

namespace ccp {

namespace {

template <typename Convert>
auto convertText(const Control& control, const std::string& text, Convert convert) {
  try {
    return convert(text);
  } catch (const ConversionError& error) {
    throw ConversionError(error.what(), control.name());
  }
}

}  // namespace

int toInt(const TextField& field) {
  return convertText(field, field.text(), [](std::string_view t) { return toInt(t); });
}

int toInt(const ComboBox& list) {
  return convertText(list, list.text(), [](std::string_view t) { return toInt(t); });
}

double toFloat(const TextField& field) {
  return convertText(field, field.text(), [](std::string_view t) { return toFloat(t); });
}

std::string integerErrorText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::string floatErrorText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid floating point value";
}

int toInt(std::string_view text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) throw ConversionError(integerErrorText(text));
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') throw ConversionError(integerErrorText(text));
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 31) throw ConversionError(integerErrorText(text));
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) throw ConversionError(integerErrorText(text));
  return static_cast<int>(value);
}

double toFloat(std::string_view text) {
  // Digits with at most one point, an optional sign and an optional decimal exponent; no
  // blanks, no "inf" or "nan", no hexadecimal.
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissaDigits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      ++mantissaDigits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) throw ConversionError(floatErrorText(text));
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) throw ConversionError(floatErrorText(text));
  }
  if (i != text.size()) throw ConversionError(floatErrorText(text));
  // from_chars ignores the C locale, so a decimal comma locale cannot change the reading.
  std::string_view unsignedText = text;
  bool negative = false;
  if (unsignedText.front() == '+' || unsignedText.front() == '-') {
    negative = unsignedText.front() == '-';
    unsignedText.remove_prefix(1);
  }
  double value = 0;
  auto [end, ec] = std::from_chars(unsignedText.data(), unsignedText.data() + unsignedText.size(),
                                   value, std::chars_format::general);
  if (ec != std::errc() || end != unsignedText.data() + unsignedText.size()) {
    throw ConversionError(floatErrorText(text));
  }
  return negative ? -value : value;
}

}  // namespace ccp
