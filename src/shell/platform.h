#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ccp {

// How far a pager command has got, over all its transfers.
struct ProgressReport {
  std::string_view phase;  // what the command is doing now; empty once it has ended
  int percent = 0;         // of the whole command, 0 to 100
  int secondsLeft = 0;     // an estimate, rounded up
  bool ended() const { return phase.empty(); }
};

// The services of the desktop that the program uses. Waiting belongs to the Clock.
class Platform {
 public:
  virtual ~Platform() = default;
  // The system's default alert sound, once.
  virtual void beep() = 0;
  // The standard error box for an error that ends a user action, its message in UTF-8. `field`
  // names the control whose text could not be read, so a window can point it out; empty when
  // there is none.
  virtual void showError(const std::string& message, const std::string& field) = 0;
  // File dialogs: the chosen full path, or nothing when the user cancels.
  virtual std::optional<std::string> askOpenPath(std::string_view filter) = 0;
  virtual std::optional<std::string> askSavePath(std::string_view filter) = 0;
  // The open dialog, starting in `folder`.
  virtual std::optional<std::string> askOpenPathIn(std::string_view /*folder*/,
                                                   std::string_view filter) {
    return askOpenPath(filter);
  }
  // A pager command under way; a report without a phase ends it.
  virtual void showProgress(const ProgressReport& /*report*/) {}
  // A note beside the log, as a status bar shows one: what a log line leaves out, such as the
  // file and the system's reason when a file could not be loaded or saved.
  virtual void showNotice(const std::string& /*text*/) {}
  // The user asked the pager command under way to stop (Ctrl-C on a terminal). The window has
  // no such request: input during a transfer is dropped.
  virtual bool stopRequested() { return false; }
};

}  // namespace ccp
