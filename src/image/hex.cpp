#include "image/hex.h"

namespace ccp {
namespace {

constexpr std::uint8_t kNotADigit = 12;
constexpr char kHexDigits[] = "0123456789ABCDEF";

std::uint8_t nibbleAt(std::string_view text, std::size_t i) {
  if (i >= text.size()) return kNotADigit;
  char c = text[i];
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  return kNotADigit;
}

}  // namespace

void hexToBytes(std::string_view text, std::span<std::uint8_t> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<std::uint8_t>(nibbleAt(text, 2 * i) * 16 + nibbleAt(text, 2 * i + 1));
  }
}

std::vector<std::uint8_t> hexToBytes(std::string_view text, std::size_t count) {
  std::vector<std::uint8_t> bytes(count / 2);
  hexToBytes(text, bytes);
  return bytes;
}

std::string bytesToHex(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(2 * bytes.size());
  for (std::uint8_t b : bytes) {
    text += kHexDigits[b >> 4];
    text += kHexDigits[b & 0x0F];
  }
  return text;
}

}  // namespace ccp
