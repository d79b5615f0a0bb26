// ports: the system's parallel ports, as the pager commands would find them.
#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/subcommands.h"
#include "cli/terminal_text.h"

namespace ccp::cli {

namespace {

using Row = std::vector<std::string>;

std::string hexBase(std::uint16_t base) {
  return base == 0 ? "-" : deviceText({NamedDevice::Kind::Address, base});
}

std::string access(int openError) {
  if (openError == 0) return "yes";
  return openError == ENOENT ? "missing" : std::strerror(openError);
}

Row row(const SurveyedPort& port) {
  const bool listed = port.port.number >= 0 && port.openError != ENOENT;
  return {port.device, hexBase(port.port.base), port.name.empty() ? "-" : port.name,
          access(port.openError),
          !listed               ? "-"
          : port.holder.empty() ? "nobody"
                                : port.holder};
}

int portsCommand(Run& run) {
  const PortSurvey survey = run.services.surveyPorts(run.args.ports);
  std::ostream& out = run.console.out;
  if (!survey.listed) {
    out << "The system lists no parallel ports: /proc/sys/dev/parport is missing (is the "
           "parport_pc module loaded?)\n";
  }
  std::vector<Row> rows = {{"DEVICE", "BASE", "NAME", "ACCESS", "HELD BY"}};
  bool lpt1 = false;
  bool lpt2 = false;
  for (const SurveyedPort& port : survey.ports) {
    rows.push_back(row(port));
    lpt1 = lpt1 || port.name == "LPT1";
    lpt2 = lpt2 || port.name == "LPT2";
  }
  if (rows.size() > 1) printTable(out, rows);
  if (!lpt1) out << "LPT1 means no port.\n";
  if (!lpt2) out << "LPT2 means no port.\n";
  if (run.services.defaultPort == PortKind::Simulator) {
    out << "This build drives the simulated Programmer unless --port LPT1 or LPT2 is given.\n";
  }
  return kDone;
}

}  // namespace

void addPortsCommand(CommandLine& line) {
  line.add("ports",
           "the system's parallel ports: device, base address, LPT1\nor LPT2, whether this user "
           "can open it, who holds it",
           portsCommand);
}

}  // namespace ccp::cli
