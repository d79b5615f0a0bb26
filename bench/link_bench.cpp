// Times Write to pager and Read from pager of a customer-edition window against the simulated
// Programmer on the real clock: how close the wall time comes to the least the protocol allows,
// how much processor time the waiting takes, and whether any promised minimum was cut.
//   ccp_bench [rounds] [--busy N] [--no-rt]
// --busy N runs N spinning threads beside the commands, as a busy machine would; --no-rt keeps
// the transfers at the thread's normal priority. Where the system refuses real-time priority,
// the transfers ask RealtimeKit, as the programs do.
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/default_pager.h"
#include "files/outcome_lines.h"
#include "link/lines.h"
#include "ports/realtime_kit.h"
#include "ports/realtime_priority.h"
#include "ports/realtime_text.h"
#include "ports/steady_clock.h"
#include "shell/form.h"
#include "sim/simulated_programmer.h"
#include "testkit/fake_platform.h"

namespace {

using ccp::DeadlineClock;

// Passes every wait on to the real clock and adds up the pauses asked for. The transfer and
// command hooks reach the real clock only while realtime is set.
class PauseCountingClock : public DeadlineClock {
 public:
  explicit PauseCountingClock(ccp::SteadyClock& real) : real_(real) {}
  void transferBegins() override {
    if (realtime) real_.transferBegins();
  }
  void transferEnds() override {
    if (realtime) real_.transferEnds();
  }
  void commandBegins() override {
    if (realtime) real_.commandBegins();
  }
  void commandEnds() override {
    if (realtime) real_.commandEnds();
  }
  void waitUs(unsigned us) override {
    pausesNs += us * 1'000ull;
    real_.waitUs(us);
  }
  void waitMs(unsigned ms) override {
    pausesNs += ms * 1'000'000ull;
    real_.waitMs(ms);
  }
  void sleepMs(unsigned ms) override {
    pausesNs += ms * 1'000'000ull;
    real_.sleepMs(ms);
  }
  void waitUntilNs(std::uint64_t instantNs) override { real_.waitUntilNs(instantNs); }
  std::uint64_t nowNs() const override { return real_.nowNs(); }

  std::uint64_t pausesNs = 0;
  bool realtime = true;

 private:
  ccp::SteadyClock& real_;
};

// The commands run on the main thread alone: the busy threads' time is not theirs.
double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A started customer-edition window with a pager of its model in the simulated Programmer.
struct Rig {
  Rig() {
    const auto pager = ccp::defaultPagerContents(ccp::BuildConfig{});
    programmer.setEeprom(pager.eeprom);
    programmer.setDecoder(pager.decoder);
    form = std::make_unique<ccp::TForm1>(ccp::BuildConfig{}, platform, programmer, clock);
  }
  bool run(const char* command, const char* lastLine) {
    form->menuItem(command).trigger();
    return form->log().lines().back() == lastLine;
  }

  ccp::SteadyClock real{ccp::systemSchedulingCalls(), &ccp::systemRealtimeKit()};
  PauseCountingClock clock{real};
  ccp::sim::SimulatedProgrammer programmer{real};
  ccp::testkit::FakePlatform platform;
  std::unique_ptr<ccp::TForm1> form;
};

// Ratios of wall to minimum and of processor time to wall, per sequence, over the rounds.
std::map<std::string, std::vector<std::pair<double, double>>> results;

bool measure(Rig& rig, const char* name, const std::function<bool()>& sequence) {
  rig.programmer.clearRecords();
  rig.clock.pausesNs = 0;
  const std::uint64_t steps0 = rig.programmer.lineSteps();
  const double cpu0 = cpuSeconds();
  const std::uint64_t wall0 = rig.real.nowNs();
  const bool ok = sequence();
  const double wall = static_cast<double>(rig.real.nowNs() - wall0) * 1e-9;
  const double cpu = cpuSeconds() - cpu0;
  const std::uint64_t steps = rig.programmer.lineSteps() - steps0;
  const double minimum =
      static_cast<double>(rig.clock.pausesNs + steps * ccp::Lines::kStepUs * 1'000ull) * 1e-9;
  std::printf(
      "%-6s %s  wall %.4f s  minimum %.4f s  ratio %.4f  cpu %.3f s (%.1f %% of wall)"
      "  line steps %llu  violations %zu\n",
      name, ok ? "ok    " : "FAILED", wall, minimum, wall / minimum, cpu, 100.0 * cpu / wall,
      static_cast<unsigned long long>(steps), rig.programmer.violations().size());
  for (const auto& v : rig.programmer.violations()) std::printf("  %s\n", describe(v).c_str());
  results[name].emplace_back(wall / minimum, cpu / wall);
  return ok && rig.programmer.violations().empty();
}

struct Options {
  int rounds = 1;
  int busy = 0;
  bool realtime = true;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--no-rt") {
      options.realtime = false;
    } else if (arg == "--busy" && i + 1 < argc) {
      options.busy = std::atoi(argv[++i]);
    } else if (!arg.empty() && arg[0] != '-') {
      options.rounds = std::atoi(argv[i]);
    } else {
      return false;
    }
  }
  return options.rounds > 0 && options.busy >= 0;
}

// Threads that keep a core each busy until stopped.
std::vector<std::jthread> startBusyThreads(int count) {
  std::vector<std::jthread> threads;
  for (int i = 0; i < count; ++i) {
    threads.emplace_back([](std::stop_token stop) {
      while (!stop.stop_requested()) {
      }
    });
  }
  return threads;
}

void stopBusyThreads(std::vector<std::jthread>& threads) {
  for (auto& thread : threads) thread.request_stop();
  threads.clear();  // joins
}

// The policy without SCHED_RESET_ON_FORK, which a thread RealtimeKit raised keeps for good.
ccp::ThreadScheduling mainThreadScheduling() {
  ccp::ThreadScheduling now;
  ccp::systemSchedulingCalls().current(now);
  now.policy &= ~SCHED_RESET_ON_FORK;
  return now;
}

std::string describePriority(const Options& options, const ccp::RealtimePriority& priority) {
  return options.realtime ? ccp::transfersRunText(priority) : "off (--no-rt)";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: ccp_bench [rounds] [--busy N] [--no-rt]\n");
    return 2;
  }
  Rig rig;
  rig.clock.realtime = options.realtime;
  const ccp::ThreadScheduling before = mainThreadScheduling();
  auto busy = startBusyThreads(options.busy);
  bool allOk = true;
  for (int round = 0; round < options.rounds; ++round) {
    allOk &= measure(rig, "write", [&] { return rig.run("WriteToPager", ccp::kVerifiedLine); });
    allOk &=
        measure(rig, "read", [&] { return rig.run("ReadFromPager", ccp::kReadCompletedLine); });
  }
  stopBusyThreads(busy);
  std::printf("busy threads %d, real-time priority: %s\n", options.busy,
              describePriority(options, rig.real.realtimePriority()).c_str());
  if (!(mainThreadScheduling() == before)) {
    std::printf("the thread's scheduling was not restored after the transfers\n");
    allOk = false;
  }
  // A shared machine now and then takes the processor away mid-transfer: the median tells.
  for (auto& [name, runs] : results) {
    std::sort(runs.begin(), runs.end());
    const auto& median = runs[runs.size() / 2];
    std::printf("%-6s median of %zu: ratio %.4f  cpu %.1f %% of wall\n", name.c_str(), runs.size(),
                median.first, 100.0 * median.second);
  }
  return allOk ? 0 : 1;
}
