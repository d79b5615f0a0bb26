#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/build_config.h"
#include "link/progress.h"
#include "link/transfer_time.h"
#include "shell/platform.h"

namespace ccp {

class TimeSource;

// One phase of a pager command: its name as shown, the link step whose reports move it, and
// how long it lasts.
struct CommandPhase {
  std::string name;
  LinkStep step;
  StepTiming timing;
};
using CommandPlan = std::vector<CommandPhase>;

// The phases of Read from pager, and of Write to pager in the given edition.
CommandPlan readFromPagerPlan();
CommandPlan writeToPagerPlan(Edition edition);
// A whole read of the pager put before a plan: a backup of what the pager holds, or a look at
// the capcodes it holds, its phases named with `prefix`.
CommandPlan withBackupRead(CommandPlan plan, const std::string& prefix = "Backup ");

// One bar over all the phases of a command. Each phase weighs what it lasts, so the bar moves
// evenly in time; the time left is what remains, stretched by how much slower than its
// minimum the command has run so far.
class CommandProgress {
 public:
  using Sink = std::function<void(const ProgressReport&)>;

  // `time` measures the pace; without it the time left is the minimum that remains.
  CommandProgress(CommandPlan plan, Sink sink, const TimeSource* time = nullptr);

  // Shows the first phase at 0 %.
  void start();
  // A report of the link. Phases follow one another in the plan's order; a report that fits
  // no later phase is ignored.
  void report(std::string_view step, int done, int total);
  // To be passed to the transfers.
  Progress linkProgress();
  // The command has ended, however it ended.
  void end();

  const CommandPlan& plan() const { return plan_; }
  std::uint64_t totalUs() const { return totalUs_; }
  // The phase's share of the whole command, 0 to 1.
  double weight(std::size_t phase) const;

 private:
  std::optional<std::size_t> phaseOf(LinkStep step, int done) const;
  void show(std::size_t phase, std::uint64_t positionUs);
  int secondsLeft(std::uint64_t positionUs) const;

  CommandPlan plan_;
  Sink sink_;
  const TimeSource* time_;
  std::uint64_t startNs_ = 0;
  std::uint64_t totalUs_ = 0;
  std::vector<std::uint64_t> phaseStartUs_;
  std::optional<std::size_t> current_;
  int lastDone_ = 0;
  std::uint64_t positionUs_ = 0;
};

}  // namespace ccp
