#pragma once

// Fixed-width character fields of the EEP block (single-byte characters).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ccp {

// Writes at most field.size() characters. A shorter text is followed by one zero byte and the
// rest of the field keeps its old bytes (the pager reads up to the zero).
void writeTextField(std::span<std::uint8_t> field, std::string_view text);

// Reads up to the first zero byte or the whole field.
std::string readTextField(std::span<const std::uint8_t> field);

// One-character fields: the first character, 0 for an empty text; 0 reads back as "".
std::uint8_t charFieldByte(std::string_view text);
std::string charFieldText(std::uint8_t byte);

}  // namespace ccp
