#include "image/plain_text.h"

#include <cctype>

namespace ccp {

std::string joined(std::span<const std::string> texts, std::string_view separator) {
  std::string text;
  for (const std::string& each : texts) {
    if (&each != texts.data()) text += separator;
    text += each;
  }
  return text;
}

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace ccp
