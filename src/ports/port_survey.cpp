#include "ports/port_survey.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

#include "ports/ppdev_port.h"

namespace ccp {

namespace {

std::string nameOf(const SystemPort& port, const LptMap& map) {
  if (map.lpt1.port == port) return "LPT1";
  if (map.lpt2.port == port) return "LPT2";
  return {};
}

int openError(SysPortCalls& sys, const std::string& device) {
  const int fd = sys.open(device, O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno;
  sys.close(fd);
  return 0;
}

// A chosen address the system does not list: no device to open.
SurveyedPort unlistedAddress(const NamedDevice& device, const char* name) {
  return {{-1, static_cast<std::uint16_t>(device.value)}, deviceText(device), name, ENOENT, {}};
}

}  // namespace

PortSurvey surveyPorts(const PortChoice& choice, SysPortCalls& sys, const ParportPaths& paths) {
  const auto listed = listSystemPorts(sys, paths);
  std::vector<SystemPort> ports = listed.value_or(std::vector<SystemPort>{});
  const LptMap map = ppdevLptMap(choice, ports);
  for (const NamedPort* named : {&map.lpt1, &map.lpt2}) {
    if (named->port && std::find(ports.begin(), ports.end(), *named->port) == ports.end())
      ports.push_back(*named->port);
  }
  PortSurvey survey{listed.has_value(), {}};
  for (const SystemPort& port : ports) {
    const std::string device = ppdevDevice(paths, port.number);
    survey.ports.push_back({port, device, nameOf(port, map), openError(sys, device),
                            portHolder(sys, paths, port.number).value_or("")});
  }
  const std::pair<const std::optional<NamedDevice>*, const char*> chosen[] = {
      {&choice.lpt1, "LPT1"}, {&choice.lpt2, "LPT2"}};
  for (const auto& [device, name] : chosen) {
    if (*device && (*device)->kind == NamedDevice::Kind::Address && !listedPort(**device, ports))
      survey.ports.push_back(unlistedAddress(**device, name));
  }
  return survey;
}

}  // namespace ccp
