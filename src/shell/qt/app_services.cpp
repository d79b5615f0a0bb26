#include "shell/qt/app_services.h"

#include <chrono>
#include <thread>

namespace ccp {

namespace {

// Until the port backends are wired in, the application has no access to a port: start-up
// reports the missing driver and the pager commands stay disabled.
class RefusedPort : public PortIo {
 public:
  bool obtainAccess() override { return false; }
  std::uint8_t in(std::uint16_t) override { return 0xFF; }
  void out(std::uint16_t, std::uint8_t) override {}
};

class SteadyClock : public Clock {
 public:
  void waitUs(unsigned us) override { spin(std::chrono::microseconds(us)); }
  void waitMs(unsigned ms) override { spin(std::chrono::milliseconds(ms)); }
  void sleepMs(unsigned ms) override {
    // sleep_for may wake early on some systems; finish the rest by spinning.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::this_thread::sleep_until(end);
    spinUntil(end);
  }

 private:
  template <typename Duration>
  static void spin(Duration d) {
    spinUntil(std::chrono::steady_clock::now() + d);
  }
  static void spinUntil(std::chrono::steady_clock::time_point end) {
    while (std::chrono::steady_clock::now() < end) {
    }
  }
};

}  // namespace

std::unique_ptr<PortIo> makeApplicationPort() {
  return std::make_unique<RefusedPort>();
}

std::unique_ptr<Clock> makeApplicationClock() {
  return std::make_unique<SteadyClock>();
}

}  // namespace ccp
