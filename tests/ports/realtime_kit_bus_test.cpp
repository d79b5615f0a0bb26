#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "files/temp_folder.h"
#include "ports/realtime_kit.h"

extern char** environ;

namespace ccp {
namespace {

// What the fake daemon hands out and whether it refuses; what it was asked, and this very
// process's RLIMIT_RTTIME at the moment it was asked.
struct FakeDaemonState {
  std::int32_t maxPriority = 20;
  std::int64_t runLimitUs = 200'000;
  bool refuse = false;
  std::uint64_t thread = 0;
  std::uint32_t priority = 0;
  rlimit limitWhenAsked{};
};

int makeThreadRealtime(sd_bus_message* m, void* data, sd_bus_error* error) {
  auto& state = *static_cast<FakeDaemonState*>(data);
  getrlimit(RLIMIT_RTTIME, &state.limitWhenAsked);
  const int r = sd_bus_message_read(m, "tu", &state.thread, &state.priority);
  if (r < 0) return r;
  if (state.refuse) return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "Not you");
  return sd_bus_reply_method_return(m, nullptr);
}

const sd_bus_vtable kFakeDaemon[] = {
    SD_BUS_VTABLE_START(0), SD_BUS_METHOD("MakeThreadRealtime", "tu", "", makeThreadRealtime, 0),
    SD_BUS_PROPERTY("MaxRealtimePriority", "i", nullptr, offsetof(FakeDaemonState, maxPriority), 0),
    SD_BUS_PROPERTY("RTTimeUSecMax", "x", nullptr, offsetof(FakeDaemonState, runLimitUs), 0),
    SD_BUS_VTABLE_END};

// A bus of the test's own, named as the system bus while it lasts, with a fake RealtimeKit on
// it served from a thread of its own: only MakeThreadRealtime, as the daemon's other methods
// are not to be called. A daemon that never answers holds its name and serves nothing.
class FakeRealtimeKitBus {
 public:
  enum class Answers { Always, Never };

  explicit FakeRealtimeKitBus(FakeDaemonState& state, Answers answers = Answers::Always) {
    const std::string socket = folder_.file("bus"), address = "--address=unix:path=" + socket;
    const char* argv[] = {"dbus-daemon", "--session", "--nofork", address.c_str(), nullptr};
    posix_spawnp(&bus_, "dbus-daemon", nullptr, nullptr, const_cast<char**>(argv), environ);
    for (int i = 0; i < 500 && !std::filesystem::exists(socket); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
    if (sd_bus_open_system(&daemon_) < 0) return;
    sd_bus_add_object_vtable(daemon_, nullptr, "/org/freedesktop/RealtimeKit1",
                             "org.freedesktop.RealtimeKit1", kFakeDaemon, &state);
    serving_ = sd_bus_request_name(daemon_, "org.freedesktop.RealtimeKit1", 0) >= 0;
    if (!serving_ || answers == Answers::Never) return;
    server_ = std::jthread([this](std::stop_token stop) {
      while (!stop.stop_requested()) {
        if (sd_bus_process(daemon_, nullptr) == 0) sd_bus_wait(daemon_, 20'000);
      }
    });
  }
  ~FakeRealtimeKitBus() {
    server_ = {};  // stops and joins
    sd_bus_flush_close_unref(daemon_);
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (bus_ <= 0) return;
    kill(bus_, SIGTERM);
    waitpid(bus_, nullptr, 0);
  }
  FakeRealtimeKitBus(const FakeRealtimeKitBus&) = delete;
  FakeRealtimeKitBus& operator=(const FakeRealtimeKitBus&) = delete;

  bool serving() const { return serving_; }

 private:
  test::TempFolder folder_;
  pid_t bus_ = 0;
  sd_bus* daemon_ = nullptr;
  bool serving_ = false;
  std::jthread server_;
};

TEST(RealtimeKitOnTheBus, AsksForTheCallingThreadOnceItsRunTimeIsWithinTheDaemonsBound) {
  rlimit before{};
  getrlimit(RLIMIT_RTTIME, &before);
  FakeDaemonState state;
  state.maxPriority = 5;
  // Below the limit as it stands, whatever an earlier test of this process left.
  state.runLimitUs = static_cast<std::int64_t>(std::min<rlim_t>(before.rlim_max, 200'000) / 2);
  const FakeRealtimeKitBus bus(state);
  ASSERT_TRUE(bus.serving()) << "dbus-daemon did not start";

  const RealtimeKit::Answer answer = systemRealtimeKit().makeThreadRealtime(10);
  EXPECT_EQ(answer.priority, 5) << answer.refusal;
  EXPECT_EQ(state.thread, static_cast<std::uint64_t>(gettid()));
  EXPECT_EQ(state.priority, 5u) << "the daemon's highest, below ours";
  // The daemon reads the hard limit when asked; the soft one is never above it.
  EXPECT_EQ(state.limitWhenAsked.rlim_max, static_cast<rlim_t>(state.runLimitUs));
  EXPECT_LE(state.limitWhenAsked.rlim_cur, state.limitWhenAsked.rlim_max);
}

TEST(RealtimeKitOnTheBus, SaysWhetherTheDaemonRefusedOrWasNotReached) {
  FakeDaemonState state;
  state.refuse = true;
  {
    const FakeRealtimeKitBus bus(state);
    ASSERT_TRUE(bus.serving()) << "dbus-daemon did not start";
    const RealtimeKit::Answer refused = systemRealtimeKit().makeThreadRealtime(10);
    EXPECT_EQ(refused.priority, 0);
    EXPECT_TRUE(refused.reached);
    EXPECT_EQ(refused.refusal, "Not you");
  }
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
  const RealtimeKit::Answer noBus = systemRealtimeKit().makeThreadRealtime(10);
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  EXPECT_FALSE(noBus.reached);
  EXPECT_EQ(noBus.refusal, "no system bus: No such file or directory");
}

// A daemon that hangs is given up after its timeout, well before the bus's own 25 s, and the
// transfer goes on at normal priority, saying why.
TEST(RealtimeKitOnTheBus, ADaemonThatDoesNotAnswerIsGivenUp) {
  FakeDaemonState state;
  const FakeRealtimeKitBus bus(state, FakeRealtimeKitBus::Answers::Never);
  ASSERT_TRUE(bus.serving()) << "dbus-daemon did not start";
  const auto asked = std::chrono::steady_clock::now();
  const RealtimeKit::Answer answer = systemRealtimeKit().makeThreadRealtime(10);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(10));
  EXPECT_EQ(answer.priority, 0);
  EXPECT_FALSE(answer.reached);
  EXPECT_EQ(answer.refusal, "it did not answer within 1 s");
}

}  // namespace
}  // namespace ccp
