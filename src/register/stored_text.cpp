#include "register/stored_text.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "image/pager_charset.h"

namespace ccp {

namespace {

constexpr char32_t kStoredNul = U'\u2400';  // SYMBOL FOR NULL

Model modelNamed(const std::string& name) {
  return name == modelName(Model::QPX730H) ? Model::QPX730H : Model::QPX730E;
}

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// The byte of the "\xNN" at text[at], if one is there.
std::optional<char> escapeAt(std::string_view text, std::size_t at) {
  if (text.size() - at < 4 || text[at] != '\\' || text[at + 1] != 'x') return std::nullopt;
  const auto high = hexDigit(text[at + 2]), low = hexDigit(text[at + 3]);
  if (!high || !low) return std::nullopt;
  return static_cast<char>(*high << 4 | *low);
}

// The text with each byte that is no UTF-8, each NUL and, with `escapes` taken, each backslash
// that would read as an escape, as "\xNN".
std::string escapedText(std::string_view text, bool escapes) {
  std::string stored;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    const std::optional<char32_t> c = nextUtf8Char(text, at);
    if (!c || *c == U'\0' || (escapes && *c == U'\\' && escapeAt(text, start))) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[start]));
      stored += escape;
    } else {
      stored.append(text.substr(start, at - start));
    }
  }
  return stored;
}

}  // namespace

std::string storedPagerText(const std::string& model, std::string_view bytes) {
  const Model table = modelNamed(model);
  std::string stored;
  for (char byte : bytes) {
    appendUtf8(stored,
               byte == '\0' ? kStoredNul : pagerChar(table, static_cast<std::uint8_t>(byte)));
  }
  return stored;
}

std::string pagerTextOf(const std::string& model, std::string_view stored) {
  const Model table = modelNamed(model);
  std::string bytes;
  for (std::size_t at = 0; at < stored.size();) {
    const std::size_t start = at;
    const std::optional<char32_t> c = nextUtf8Char(stored, at);
    const std::optional<std::uint8_t> byte = !c                 ? std::nullopt
                                             : *c == kStoredNul ? std::uint8_t{0}
                                                                : pagerByte(table, *c);
    if (byte) {
      bytes.push_back(static_cast<char>(*byte));
    } else {
      bytes.append(stored.substr(start, at - start));
    }
  }
  return bytes;
}

std::string storedText(std::string_view text) {
  return escapedText(text, true);
}

std::string textOf(std::string_view stored) {
  std::string text;
  for (std::size_t at = 0; at < stored.size();) {
    if (const auto byte = escapeAt(stored, at)) {
      text += *byte;
      at += 4;
    } else {
      text += stored[at++];
    }
  }
  return text;
}

std::string searchedPagerText(std::string_view typed) {
  return escapedText(typed, false);
}

}  // namespace ccp
