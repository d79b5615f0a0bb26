#pragma once

#include <string>
#include <vector>

#include "ports/port_choice.h"
#include "ports/sys_port_calls.h"
#include "ports/system_ports.h"

namespace ccp {

// One parallel port as a user checking the machine sees it.
struct SurveyedPort {
  SystemPort port;     // number -1: a port the user chose that the system does not list
  std::string device;  // "/dev/parport0"; for an unlisted address, its hexadecimal base
  std::string name;    // "LPT1", "LPT2", or empty when neither name means it
  int openError = 0;   // 0: this user can open the device; else the errno of the attempt
  std::string holder;  // the driver that holds it now; empty: none, or not known
};

struct PortSurvey {
  bool listed = false;  // the system lists its parallel ports (the parport driver is loaded)
  std::vector<SurveyedPort> ports;
};

// The ports the system lists, in N order, then those the user chose that it does not list; each
// with the name LPT1 or LPT2 the ppdev backend gives it, whether its device opens for this user
// (opened and closed at once, never claimed), and who holds it.
PortSurvey surveyPorts(const PortChoice& choice, SysPortCalls& sys = realSysPortCalls(),
                       const ParportPaths& paths = {});

}  // namespace ccp
