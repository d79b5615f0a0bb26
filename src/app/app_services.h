#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "image/build_config.h"
#include "image/layout.h"
#include "ports/clock.h"
#include "ports/port_choice.h"
#include "ports/port_io.h"
#include "ports/realtime_kit.h"
#include "ports/steady_clock.h"

namespace ccp {

class MessageLog;

namespace sim {
class SimulatedProgrammer;
}

enum class PortKind { Hardware, Simulator };

// Where the simulated Programmer keeps its pager between runs: a configuration file.
struct KeptPager {
  std::string file;    // empty: not kept, each run starts with a new pager
  bool fresh = false;  // start with a new pager even when the file holds one
};

// The port and the clock of the running program: the real clock (asking RealtimeKit where the
// system refuses real-time priority), and either the best port the machine grants (ppdev, then
// direct port I/O) or a simulated Programmer with a pager of the built model plugged in,
// running in real time.
class ApplicationServices {
 public:
  // The hardware port maps LPT1 and LPT2 to system ports, or to the ports the user chose. The
  // simulated pager comes from `kept.file` when it holds one, and goes back there when the
  // program ends with keepSimulatedPager().
  ApplicationServices(const BuildConfig& config, PortKind kind, const PortChoice& choice = {},
                      KeptPager kept = {});

  PortIo& port() { return *port_; }
  SteadyClock& clock() { return clock_; }
  // Called during the long pauses of a transfer, so the window can repaint.
  void setIdleHook(std::function<void()> hook) { clock_.setIdleHook(std::move(hook)); }

  // Stores the simulated pager in the kept file when it changed; empty, or why that failed
  // ("could not keep the simulated pager in PATH: REASON").
  std::string keepSimulatedPager();
  // Stores it as well whenever `log` is told that a write was verified, before the line is
  // shown: a program killed after it keeps the pager written. What fails is said at the end.
  void keepSimulatedPagerWhenVerified(MessageLog& log);
  // A new pager of the build's model in the simulated Programmer (the one before is kept
  // first), kept from now on in a file of its own in `folder`, named when it is first kept:
  // "pager-0001.eep", the next number free, so that several programs may keep pagers there.
  void plugInNewPager(const std::string& folder);

 private:
  void plugInKeptPager(const BuildConfig& config);
  // A file of its own for the pager: the next "pager-NNNN.eep" free in `folder`, made now.
  std::string newPagerFile(const std::string& folder);

  BuildConfig config_;
  std::string newPagerFolder_;  // new pagers are kept here, each in a file named when first kept
  SteadyClock clock_{systemSchedulingCalls(), &systemRealtimeKit()};
  std::unique_ptr<PortIo> port_;
  sim::SimulatedProgrammer* simulated_ = nullptr;  // the port, when simulated
  KeptPager kept_;
  std::optional<std::array<std::uint8_t, kFileSize>> keptBytes_;  // what the file held
};

}  // namespace ccp
