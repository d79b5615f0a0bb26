#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "cli/headless_window.h"
#include "cli/subcommands.h"
#include "ports/time_source.h"

namespace ccp::cli {

// A window on the Programmer, as the pager commands use it: its start-up log shown, the port
// chosen from the menu, the window's records kept; with -v the port and its claims told.
class PagerSession {
 public:
  // Whether its pager commands keep records (Read and Write do; the Programmer test keeps none).
  enum class Records { Keep, None };
  // The port the words ask for; a chosen device the system lacks is said first. Keeping
  // records, the register settings are read first: RefusedSetting when they stop the command.
  explicit PagerSession(Run& run, Records records = Records::Keep);

  HeadlessWindow& window() { return *window_; }
  TForm1& form() { return window_->form(); }

  // Start-up leaves the pager commands disabled when the port or the Programmer failed: false
  // then, and said.
  bool available(const char* menuItem);
  // A menu command; true when it logged `success` and showed no error. With -v, its time.
  // Ctrl-C or SIGTERM during it stops it where the pager is consistent.
  bool run(const char* menuItem, std::string_view success);
  // A new pager in the simulated Programmer, the one before kept in a file of its own; false on a
  // real Programmer, which has no such thing.
  bool plugInNewPager();
  // A signal stopped a command of this session.
  bool interrupted() const { return signalStatus_ != 0; }
  // The exit status: 130 or 143 once a signal stopped a command, else `otherwise`.
  int exitStatus(int otherwise) const { return interrupted() ? signalStatus_ : otherwise; }

 private:
  Run& run_;
  const TimeSource* time_ = nullptr;
  const RealtimePriority* priority_ = nullptr;
  std::unique_ptr<HeadlessWindow> window_;
  std::function<void()> newPager_;
  int signalStatus_ = 0;
};

}  // namespace ccp::cli
