#include "ports/realtime_kit.h"

#include <sys/resource.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace ccp {

namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
constexpr const char* kInterface = "org.freedesktop.RealtimeKit1";
// The bus starts the daemon on the first call; a daemon that hangs must not hold a transfer
// for the bus's own 25 seconds.
constexpr std::uint64_t kCallTimeoutUs = std::uint64_t{kRealtimeKitAnswerMs} * 1000;

struct BusClose {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;

class BusError {
 public:
  BusError() = default;
  ~BusError() { sd_bus_error_free(&error_); }
  BusError(const BusError&) = delete;
  BusError& operator=(const BusError&) = delete;

  sd_bus_error* get() { return &error_; }
  std::string text(int result) const {
    if (result == -ETIMEDOUT) {
      return "it did not answer within " + std::to_string(kRealtimeKitAnswerMs / 1000) + " s";
    }
    return error_.message != nullptr ? error_.message : std::strerror(-result);
  }

 private:
  sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

RealtimeKit::Answer notReached(std::string why) {
  return {0, false, std::move(why)};
}

RealtimeKit::Answer refused(std::string why) {
  return {0, true, std::move(why)};
}

// The daemon reads the hard limit; the kernel sends SIGXCPU at the soft one and SIGKILL at
// the hard one to a real-time thread that runs that long without blocking.
int limitRunTime(std::int64_t maxUs) {
  rlimit limit{};
  if (getrlimit(RLIMIT_RTTIME, &limit) != 0) return errno;
  limit.rlim_max = std::min<rlim_t>(limit.rlim_max, static_cast<rlim_t>(maxUs));
  limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max);
  return setrlimit(RLIMIT_RTTIME, &limit) == 0 ? 0 : errno;
}

class BusRealtimeKit : public RealtimeKit {
 public:
  Answer makeThreadRealtime(int wanted) override {
    sd_bus* opened = nullptr;
    const int r = sd_bus_open_system(&opened);
    if (r < 0) return notReached(std::string("no system bus: ") + std::strerror(-r));
    const Bus bus(opened);
    // One second for the whole request, however many calls it takes.
    const Deadline deadline{std::chrono::steady_clock::now() +
                            std::chrono::microseconds(kCallTimeoutUs)};

    std::int32_t highest = 0;
    std::int64_t maxRunUs = 0;
    if (std::string why; !readProperty(bus, deadline, "MaxRealtimePriority", 'i', &highest, why) ||
                         !readProperty(bus, deadline, "RTTimeUSecMax", 'x', &maxRunUs, why)) {
      return notReached(why);
    }
    const int priority = std::min(wanted, static_cast<int>(highest));
    if (priority < 1) return refused("it hands out no real-time priority");
    if (maxRunUs < 1) return refused("it asks for no RLIMIT_RTTIME that can be set");
    if (const int error = limitRunTime(maxRunUs); error != 0) {
      return refused(std::string("RLIMIT_RTTIME could not be set: ") + std::strerror(error));
    }

    BusError error;
    deadline.limit(bus);
    const int called = sd_bus_call_method(
        bus.get(), kService, kObject, kInterface, "MakeThreadRealtime", error.get(), nullptr, "tu",
        static_cast<std::uint64_t>(gettid()), static_cast<std::uint32_t>(priority));
    if (called == -ETIMEDOUT) return notReached(error.text(called));
    if (called < 0) return refused(error.text(called));
    return {priority, true, {}};
  }

 private:
  // What is left of the request's time, as the bus's limit for its next call.
  struct Deadline {
    std::chrono::steady_clock::time_point at;
    void limit(const Bus& bus) const {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
          at - std::chrono::steady_clock::now());
      sd_bus_set_method_call_timeout(
          bus.get(), static_cast<std::uint64_t>(std::max<long long>(1, left.count())));
    }
  };

  static bool readProperty(const Bus& bus, const Deadline& deadline, const char* name, char type,
                           void* value, std::string& why) {
    deadline.limit(bus);
    BusError error;
    const int r = sd_bus_get_property_trivial(bus.get(), kService, kObject, kInterface, name,
                                              error.get(), type, value);
    if (r < 0) why = error.text(r);
    return r >= 0;
  }
};

}  // namespace

RealtimeKit& systemRealtimeKit() {
  static BusRealtimeKit kit;
  return kit;
}

}  // namespace ccp
