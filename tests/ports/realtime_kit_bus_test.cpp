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
#include <fstream>
#include <string>
#include <thread>

#include "files/temp_folder.h"
#include "ports/realtime_kit.h"

extern char** environ;

namespace ccp {
namespace {

// A bus of the test's own (dbus-daemon with a configuration that lets anyone own any name),
// named as the system bus for this process while it runs.
class PrivateBus {
 public:
  PrivateBus() {
    const std::string socket = folder_.file("bus");
    std::ofstream(folder_.file("bus.conf"))
        << "<busconfig><type>system</type><listen>unix:path=" << socket
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
           "<allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
           "</policy></busconfig>";
    const std::string config = "--config-file=" + folder_.file("bus.conf");
    const char* argv[] = {"dbus-daemon", config.c_str(), "--nofork", nullptr};
    if (posix_spawnp(&daemon_, "dbus-daemon", nullptr, nullptr, const_cast<char**>(argv),
                     environ) != 0) {
      return;
    }
    for (int i = 0; i < 500 && !std::filesystem::exists(socket); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
    started_ = std::filesystem::exists(socket);
  }
  ~PrivateBus() {
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (daemon_ <= 0) return;
    kill(daemon_, SIGTERM);
    waitpid(daemon_, nullptr, 0);
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool started() const { return started_; }

 private:
  test::TempFolder folder_;
  pid_t daemon_ = 0;
  bool started_ = false;
};

// What the fake daemon hands out and how it answers; what it was asked, and the process's
// RLIMIT_RTTIME (this very process) at the moment it was asked.
struct FakeDaemonState {
  std::int32_t maxPriority = 20;
  std::int64_t runLimitUs = 200'000;
  bool refuse = false;
  std::string member;
  std::uint64_t thread = 0;
  std::uint32_t priority = 0;
  rlimit limitWhenAsked{};
};

int makeThreadRealtime(sd_bus_message* m, void* data, sd_bus_error* error) {
  auto& state = *static_cast<FakeDaemonState*>(data);
  state.member = sd_bus_message_get_member(m);
  getrlimit(RLIMIT_RTTIME, &state.limitWhenAsked);
  const int r = sd_bus_message_read(m, "tu", &state.thread, &state.priority);
  if (r < 0) return r;
  if (state.refuse)
    return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "Operation not permitted");
  return sd_bus_reply_method_return(m, nullptr);
}

const sd_bus_vtable kFakeDaemon[] = {
    SD_BUS_VTABLE_START(0), SD_BUS_METHOD("MakeThreadRealtime", "tu", "", makeThreadRealtime, 0),
    SD_BUS_PROPERTY("MaxRealtimePriority", "i", nullptr, offsetof(FakeDaemonState, maxPriority), 0),
    SD_BUS_PROPERTY("RTTimeUSecMax", "x", nullptr, offsetof(FakeDaemonState, runLimitUs), 0),
    SD_BUS_VTABLE_END};

// Owns RealtimeKit's name on the private bus and serves it from a thread of its own.
class FakeDaemon {
 public:
  explicit FakeDaemon(FakeDaemonState& state) {
    sd_bus_open_system(&bus_);
    sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/RealtimeKit1",
                             "org.freedesktop.RealtimeKit1", kFakeDaemon, &state);
    owned_ = sd_bus_request_name(bus_, "org.freedesktop.RealtimeKit1", 0) >= 0;
    serving_ = std::jthread([this](std::stop_token stop) {
      while (!stop.stop_requested()) {
        if (sd_bus_process(bus_, nullptr) == 0) sd_bus_wait(bus_, 20'000);
      }
    });
  }
  ~FakeDaemon() {
    serving_ = {};  // stops and joins
    sd_bus_flush_close_unref(bus_);
  }
  FakeDaemon(const FakeDaemon&) = delete;
  FakeDaemon& operator=(const FakeDaemon&) = delete;

  bool owned() const { return owned_; }

 private:
  sd_bus* bus_ = nullptr;
  bool owned_ = false;
  std::jthread serving_;
};

TEST(RealtimeKitOnTheBus, AsksForTheCallingThreadOnceItsRunTimeIsWithinTheDaemonsBound) {
  rlimit before{};
  getrlimit(RLIMIT_RTTIME, &before);
  FakeDaemonState state;
  state.maxPriority = 5;
  // Below the limit as it stands, whatever an earlier test of this process left.
  state.runLimitUs = static_cast<std::int64_t>(std::min<rlim_t>(before.rlim_max, 200'000) / 2);
  const PrivateBus bus;
  ASSERT_TRUE(bus.started()) << "dbus-daemon did not start";
  const FakeDaemon daemon(state);
  ASSERT_TRUE(daemon.owned());

  const RealtimeKit::Answer answer = systemRealtimeKit().makeThreadRealtime(10);
  EXPECT_EQ(answer.priority, 5) << answer.refusal;
  EXPECT_EQ(state.member, "MakeThreadRealtime");
  EXPECT_EQ(state.thread, static_cast<std::uint64_t>(gettid()));
  EXPECT_EQ(state.priority, 5u) << "the daemon's highest, below ours";
  // The daemon reads the hard limit when asked; the soft one is never above it.
  EXPECT_EQ(state.limitWhenAsked.rlim_max, static_cast<rlim_t>(state.runLimitUs));
  EXPECT_LE(state.limitWhenAsked.rlim_cur, state.limitWhenAsked.rlim_max);
}

TEST(RealtimeKitOnTheBus, SaysWhyWhenThereIsNoGrant) {
  FakeDaemonState state;
  state.refuse = true;
  {
    const PrivateBus bus;
    ASSERT_TRUE(bus.started()) << "dbus-daemon did not start";
    const FakeDaemon daemon(state);
    ASSERT_TRUE(daemon.owned());
    const RealtimeKit::Answer refused = systemRealtimeKit().makeThreadRealtime(10);
    EXPECT_EQ(refused.priority, 0);
    EXPECT_TRUE(refused.reached);
    EXPECT_EQ(refused.refusal, "Operation not permitted");
  }
  {
    const PrivateBus bus;  // with no daemon on it
    ASSERT_TRUE(bus.started()) << "dbus-daemon did not start";
    const RealtimeKit::Answer absent = systemRealtimeKit().makeThreadRealtime(10);
    EXPECT_FALSE(absent.reached);
    EXPECT_NE(absent.refusal.find("org.freedesktop.RealtimeKit1"), std::string::npos)
        << absent.refusal;
  }
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
  const RealtimeKit::Answer noBus = systemRealtimeKit().makeThreadRealtime(10);
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  EXPECT_FALSE(noBus.reached);
  EXPECT_EQ(noBus.refusal, "no system bus: No such file or directory");
}

}  // namespace
}  // namespace ccp
