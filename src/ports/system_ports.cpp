#include "ports/system_ports.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>
#include <string_view>

namespace ccp {

namespace {

constexpr std::string_view kPortEntry = "parport";
constexpr std::string_view kNoHolder = "none";

// N of a /proc entry named parportN; nothing for other entries ("default").
std::optional<int> portNumber(std::string_view entry) {
  if (!entry.starts_with(kPortEntry) || entry.size() == kPortEntry.size()) return std::nullopt;
  int number = 0;
  const char* end = entry.data() + entry.size();
  const auto [stop, error] = std::from_chars(entry.data() + kPortEntry.size(), end, number);
  if (error != std::errc() || stop != end || number < 0) return std::nullopt;
  return number;
}

std::optional<SystemPort> firstListedExcept(const std::vector<SystemPort>& listed,
                                            std::optional<std::uint16_t> base,
                                            const std::optional<SystemPort>& taken) {
  for (const SystemPort& port : listed)
    if ((!base || port.base == *base) && port != taken) return port;
  return std::nullopt;
}

std::optional<SystemPort> found(const std::vector<SystemPort>& listed, std::uint16_t preferred,
                                const std::optional<SystemPort>& taken) {
  if (auto port = firstListedExcept(listed, preferred, taken)) return port;
  return firstListedExcept(listed, std::nullopt, taken);
}

}  // namespace

unsigned firstBaseAddress(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  unsigned value = 0;
  bool any = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    any = true;
    if (value > 0xFFFF) return 0;
  }
  return any ? value : 0;
}

std::string ppdevDevice(const ParportPaths& paths, int number) {
  return paths.devices + std::to_string(number);
}

std::optional<std::vector<SystemPort>> listSystemPorts(SysPortCalls& sys,
                                                       const ParportPaths& paths) {
  const auto entries = sys.listDirectory(paths.proc);
  if (!entries) return std::nullopt;
  std::vector<SystemPort> ports;
  for (const std::string& entry : *entries) {
    const std::optional<int> number = portNumber(entry);
    if (!number) continue;
    const auto text = sys.readFile(paths.proc + "/" + entry + "/base-addr");
    ports.push_back({*number, static_cast<std::uint16_t>(firstBaseAddress(text.value_or("")))});
  }
  std::sort(ports.begin(), ports.end(),
            [](const SystemPort& a, const SystemPort& b) { return a.number < b.number; });
  return ports;
}

std::optional<std::string> portHolder(SysPortCalls& sys, const ParportPaths& paths, int number) {
  const auto text =
      sys.readFile(paths.proc + "/parport" + std::to_string(number) + "/devices/active");
  if (!text) return std::nullopt;
  std::istringstream words(*text);
  std::string name;
  words >> name;
  return name == kNoHolder ? std::string() : name;
}

std::optional<SystemPort> listedPort(const NamedDevice& device,
                                     const std::vector<SystemPort>& listed) {
  const bool byNumber = device.kind == NamedDevice::Kind::Ppdev;
  for (const SystemPort& port : listed) {
    const unsigned key =
        byNumber ? static_cast<unsigned>(port.number) : static_cast<unsigned>(port.base);
    if (key == device.value) return port;
  }
  return std::nullopt;
}

LptMap mapLptPorts(const std::vector<SystemPort>& listed, LptMap chosen) {
  LptMap map = std::move(chosen);
  if (!map.lpt1.chosen) map.lpt1.port = found(listed, kLegacyLpt1Address, map.lpt2.port);
  if (!map.lpt2.chosen) map.lpt2.port = found(listed, kLegacyLpt2Address, map.lpt1.port);
  return map;
}

}  // namespace ccp
