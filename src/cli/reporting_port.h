#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/port_io.h"
#include "ports/time_source.h"

namespace ccp::cli {

// A port that tells what happens to it beside the bytes: whether access was granted, and each
// claim of LPT1 or LPT2, got or refused, with how long it was held. What it has to tell is held
// back until the first flushHeld(), so that the start-up's own lines can come first.
class ReportingPort : public PortIo {
 public:
  using Report = std::function<void(const std::string&)>;
  // `time` times the claims; without it they go untimed.
  ReportingPort(PortIo& port, const TimeSource* time, Report report)
      : port_(port), time_(time), report_(std::move(report)) {}

  bool obtainAccess() override;
  std::uint8_t in(std::uint16_t address) override { return port_.in(address); }
  void out(std::uint16_t address, std::uint8_t value) override { port_.out(address, value); }
  bool claim(std::uint16_t base) override;
  void release(std::uint16_t base) override;
  bool signalSafe() const override { return port_.signalSafe(); }
  std::string portName(std::uint16_t base) const override { return port_.portName(base); }

  // Tells what was held back; from now on each report goes out as it comes.
  void flushHeld();

 private:
  struct Held {
    int depth = 0;  // claims nest: the outermost counts
    std::uint64_t sinceNs = 0;
  };
  Held& held(std::uint16_t base);
  std::string label(std::uint16_t base) const;
  void tell(std::string text);

  PortIo& port_;
  const TimeSource* time_;
  Report report_;
  std::array<Held, 2> held_{};  // LPT1, LPT2
  std::optional<std::vector<std::string>> heldBack_ = std::vector<std::string>{};
};

// "1.25 s": a span of the clock's nanoseconds.
std::string secondsText(std::uint64_t ns);

}  // namespace ccp::cli
