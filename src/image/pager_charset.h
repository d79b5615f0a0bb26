#pragma once

// The characters of the pager's texts: one byte each, read through one table per model,
// Windows-1252 on the QPX730E and Windows-1255 (with its Hebrew) on the QPX730H. A byte the
// table leaves undefined stands for the code point of the same number, so every byte has one
// character and back: a text shown and stored again keeps its bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/build_config.h"
#include "image/plain_text.h"

namespace ccp {

// The character `byte` stands for on the model's pager.
char32_t pagerChar(Model model, std::uint8_t byte);

// The byte of character `c`; nothing when the model's pager has no such character.
std::optional<std::uint8_t> pagerByte(Model model, char32_t c);

// The characters of a text the pager holds.
std::u32string pagerChars(Model model, std::string_view bytes);

// The pager's bytes as the characters the window shows, in UTF-8.
std::string utf8Text(Model model, std::string_view bytes);

// The bytes of a text, or the first of its characters that the pager cannot hold.
struct PagerBytes {
  std::string bytes;
  std::optional<char32_t> refused;
};
PagerBytes toPagerBytes(Model model, std::u32string_view chars);

// The characters no keyboard types into a field: C0 controls, DEL and the C1 controls.
constexpr bool isControlChar(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

}  // namespace ccp
