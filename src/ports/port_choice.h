#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ccp {

// A port the user names for LPT1 or LPT2: a ppdev device "/dev/parportN", or the hexadecimal
// I/O base address of the port's registers, such as "0xd010".
struct NamedDevice {
  enum class Kind { Ppdev, Address };
  Kind kind;
  unsigned value;  // N of /dev/parportN, or the base address

  bool operator==(const NamedDevice&) const = default;
};

// The user's choice of the port behind each name; a name left empty is found by the rules of
// the port backends.
struct PortChoice {
  std::optional<NamedDevice> lpt1;
  std::optional<NamedDevice> lpt2;
};

// The device named by an option's text, or the reason the text names none.
struct ParsedDevice {
  std::optional<NamedDevice> device;
  std::string error;
};

ParsedDevice parsePortDevice(std::string_view text);

// How a backend shows a named device: "/dev/parport2", "0xd010".
std::string deviceText(const NamedDevice& device);

}  // namespace ccp
