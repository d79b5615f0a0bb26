#include "image/capcode.h"

#include <algorithm>
#include <charconv>

namespace ccp {

namespace {

constexpr std::size_t kMaxCapcodeTextDigits = 9;

}  // namespace

bool validCapcode(long long capcode) {
  return std::any_of(
      std::begin(kCapcodeRanges), std::end(kCapcodeRanges),
      [capcode](const CapcodeRange& r) { return capcode >= r.first && capcode <= r.last; });
}

std::string capcodeText(int capcode) {
  std::string digits = std::to_string(capcode);
  const std::size_t width = kCapcodeDigits;
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::optional<int> capcodeNumber(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || text.size() > kMaxCapcodeTextDigits || text.front() == '-' ||
      text.front() == '+' || std::from_chars(text.data(), end, value).ptr != end) {
    return std::nullopt;
  }
  return value;
}

CapcodeBytes splitCapcode(int capcode) {
  // Unsigned arithmetic gives the two's-complement bits of any int without shift pitfalls.
  auto c = static_cast<std::uint32_t>(capcode);
  return {static_cast<std::uint8_t>(c >> 13), static_cast<std::uint8_t>(c >> 5),
          static_cast<std::uint8_t>(c << 3)};
}

int joinCapcode(std::uint8_t high, std::uint8_t middle, std::uint8_t flags) {
  return high * 8192 + middle * 32 + (flags >> 3);
}

void writeAddress(DecoderBlock& decoder, int n, int capcode, bool enabled) {
  CapcodeBytes bytes = splitCapcode(capcode);
  std::uint8_t& flags = decoder[dec::capcodeFlags(n)];
  flags = (flags & dec::kAddressDefaultBits) | (enabled ? dec::kAddressEnableBit : 0) | bytes.low;
  decoder[dec::capcodeMiddle(n)] = bytes.middle;
  decoder[dec::capcodeHigh(n)] = bytes.high;
}

DecoderAddress readAddress(const DecoderBlock& decoder, int n) {
  std::uint8_t flags = decoder[dec::capcodeFlags(n)];
  return {joinCapcode(decoder[dec::capcodeHigh(n)], decoder[dec::capcodeMiddle(n)], flags),
          (flags & dec::kAddressEnableBit) != 0};
}

}  // namespace ccp
