#pragma once

#include <memory>

#include "link/port_io.h"

namespace ccp {

// The port the hardware build uses: on obtainAccess() it tries ppdev, then direct port
// instructions, and answers through the first that was granted; refuses when none was.
std::unique_ptr<PortIo> openBestPort();

}  // namespace ccp
