#pragma once

#include <functional>
#include <memory>

#include "image/build_config.h"
#include "ports/clock.h"
#include "ports/port_choice.h"
#include "ports/port_io.h"
#include "ports/steady_clock.h"

namespace ccp {

enum class PortKind { Hardware, Simulator };

// The port and the clock of the running program: the real clock, and either the best port
// the machine grants (ppdev, then direct port I/O) or a simulated Programmer with a pager of
// the built model plugged in, running in real time.
class ApplicationServices {
 public:
  // The hardware port maps LPT1 and LPT2 to system ports, or to the ports the user chose.
  ApplicationServices(const BuildConfig& config, PortKind kind, const PortChoice& choice = {});
  ~ApplicationServices();

  PortIo& port() { return *port_; }
  Clock& clock() { return clock_; }
  // Called during the long pauses of a transfer, so the window can repaint.
  void setIdleHook(std::function<void()> hook) { clock_.setIdleHook(std::move(hook)); }

 private:
  SteadyClock clock_;
  std::unique_ptr<PortIo> port_;
};

}  // namespace ccp
