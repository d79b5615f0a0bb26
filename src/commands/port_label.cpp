#include "commands/port_label.h"

#include "ports/port_io.h"
#include "ports/port_registers.h"
#include "shell/form.h"

namespace ccp {

std::string portLabel(TForm1& form) {
  const auto base = static_cast<std::uint16_t>(form.portBase());
  std::string label = base == kLpt2Base ? "LPT2" : "LPT1";
  const std::string system = form.port().portName(base);
  if (!system.empty()) label += " (" + system + ")";
  return label;
}

}  // namespace ccp
