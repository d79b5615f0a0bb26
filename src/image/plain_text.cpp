#include "image/plain_text.h"

#include <cctype>
#include <cstdint>

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

std::string lowered(std::string_view text) {
  std::string low;
  for (char c : text) low += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return low;
}

void appendUtf8(std::string& out, char32_t c) {
  const auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | c >> 6);
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | c >> 12);
    put(0x80 | (c >> 6 & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | c >> 18);
    put(0x80 | (c >> 12 & 0x3F));
    put(0x80 | (c >> 6 & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

std::optional<char32_t> nextUtf8Char(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (more == 0 || lead > 0xF4 || at + static_cast<std::size_t>(more) > text.size()) {
    return std::nullopt;
  }
  char32_t c = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = c << 6 | (next & 0x3F);
  }
  if (c < kSmallest[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  at += static_cast<std::size_t>(more);
  return c;
}

bool isUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();)
    if (!nextUtf8Char(text, at)) return false;
  return true;
}

}  // namespace ccp
