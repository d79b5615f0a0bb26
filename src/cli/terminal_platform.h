#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "commands/error_boxes.h"
#include "shell/platform.h"

namespace ccp::cli {

// The desktop on a terminal: an error box is its message on standard error, a beep is the
// terminal's bell, progress is one line that rewrites itself. Bell and progress only on a
// terminal; no dialog is ever shown (the paths come from the command line).
class TerminalPlatform : public Platform, public ErrorBoxes {
 public:
  TerminalPlatform(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

  // Beeps of commands whose log is shown sound; those of a start-up nobody sees do not.
  void setBell(bool on) { bell_ = on; }
  bool bell() const { return bell_; }
  int errorBoxes() const override { return errorBoxes_; }
  // Clears the progress line, so a line of the log can be written on a clean line.
  void clearProgress();

  void beep() override;
  void showError(const std::string& message, const std::string& field) override;
  std::optional<std::string> askOpenPath(std::string_view) override { return std::nullopt; }
  std::optional<std::string> askSavePath(std::string_view) override { return std::nullopt; }
  void showProgress(const ProgressReport& report) override;
  // Ctrl-C or SIGTERM came while a StopOnSignal is in place.
  bool stopRequested() override;

 private:
  std::ostream& err_;
  bool terminal_;
  bool bell_ = false;
  int errorBoxes_ = 0;
  bool progressShown_ = false;
  std::string shownLine_;
};

// "Decoder write  47%  about 3 s left": the phase of the command, how far the whole command
// got, and the time it still needs.
std::string progressLine(const ProgressReport& report);

}  // namespace ccp::cli
