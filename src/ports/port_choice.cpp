#include "ports/port_choice.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

namespace ccp {

namespace {

constexpr std::string_view kPpdevPrefix = "/dev/parport";
// The three registers from the base on must fit the 16-bit I/O space; address 0 is no port.
constexpr unsigned kHighestBase = 0xFFFF - 2;

// The whole text as an unsigned number in the given base, or nothing.
std::optional<unsigned> wholeNumber(std::string_view digits, int base) {
  unsigned value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

ParsedDevice failure(std::string_view text, const char* why) {
  return {std::nullopt, "'" + std::string(text) + "' " + why};
}

ParsedDevice parseAddress(std::string_view text) {
  const std::string_view digits = text.substr(2);
  const std::optional<unsigned> base = wholeNumber(digits, 16);
  if (!base) return failure(text, "is not a hexadecimal base address such as 0xd010");
  if (*base == 0 || *base > kHighestBase)
    return failure(text, "is out of range: a base address lies from 0x1 to 0xfffd");
  return {NamedDevice{NamedDevice::Kind::Address, *base}, {}};
}

}  // namespace

ParsedDevice parsePortDevice(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) return parseAddress(text);
  if (text.starts_with(kPpdevPrefix)) {
    if (const auto n = wholeNumber(text.substr(kPpdevPrefix.size()), 10))
      return {NamedDevice{NamedDevice::Kind::Ppdev, *n}, {}};
  }
  return failure(text,
                 "is not a parallel port: name a device /dev/parportN or a hexadecimal base "
                 "address such as 0xd010");
}

std::string deviceText(const NamedDevice& device) {
  if (device.kind == NamedDevice::Kind::Ppdev)
    return std::string(kPpdevPrefix) + std::to_string(device.value);
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", device.value);
  return text;
}

}  // namespace ccp
