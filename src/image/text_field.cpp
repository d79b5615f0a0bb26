#include "image/text_field.h"

#include <algorithm>

namespace ccp {

void writeTextField(std::span<std::uint8_t> field, std::string_view text) {
  std::size_t n = std::min(text.size(), field.size());
  std::copy_n(text.begin(), n, field.begin());
  if (n < field.size()) field[n] = 0;
}

std::string readTextField(std::span<const std::uint8_t> field) {
  auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::string(field.begin(), end);
}

std::uint8_t charFieldByte(std::string_view text) {
  return text.empty() ? 0 : static_cast<std::uint8_t>(text.front());
}

std::string charFieldText(std::uint8_t byte) {
  return byte == 0 ? std::string() : std::string(1, static_cast<char>(byte));
}

}  // namespace ccp
