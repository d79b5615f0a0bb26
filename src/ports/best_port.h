#pragma once

#include <memory>

#include "ports/port_choice.h"
#include "ports/port_io.h"
#include "ports/sys_port_calls.h"

namespace ccp {

// The port the hardware build uses, with the user's choice of the ports behind LPT1 and LPT2.
// On obtainAccess() it tries ppdev, then direct port instructions, and answers through the
// first that reaches every port the user chose, or else through the first granted at all;
// refuses when none was granted.
std::unique_ptr<PortIo> openBestPort(const PortChoice& choice = {},
                                     SysPortCalls& sys = realSysPortCalls());

}  // namespace ccp
