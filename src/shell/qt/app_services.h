#pragma once

#include <memory>

#include "link/clock.h"
#include "link/port_io.h"

namespace ccp {

// The parallel port the application drives.
std::unique_ptr<PortIo> makeApplicationPort();
// Real time: busy waits for bus steps, thread sleeps for the rest; never shorter than asked.
std::unique_ptr<Clock> makeApplicationClock();

}  // namespace ccp
