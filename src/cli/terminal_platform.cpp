#include "cli/terminal_platform.h"

#include "cli/stop_signals.h"
#include "cli/terminal_text.h"

namespace ccp::cli {

namespace {
constexpr char kBell = '\a';
constexpr const char* kEraseLine = "\r\033[K";
}  // namespace

std::string progressLine(const ProgressReport& report) {
  return std::string(report.phase) + "  " + std::to_string(report.percent) + "%  about " +
         std::to_string(report.secondsLeft) + " s left";
}

void TerminalPlatform::clearProgress() {
  if (!progressShown_) return;
  err_ << kEraseLine << std::flush;
  progressShown_ = false;
}

void TerminalPlatform::beep() {
  if (terminal_ && bell_) err_ << kBell << std::flush;
}

void TerminalPlatform::showError(const std::string& message, const std::string&) {
  ++errorBoxes_;
  clearProgress();
  // The message quotes a field's text, which may hold control characters.
  err_ << escaped(message) << '\n';
}

void TerminalPlatform::showProgress(const ProgressReport& report) {
  if (!terminal_) return;
  if (report.ended()) {
    clearProgress();
    return;
  }
  std::string line = progressLine(report);
  if (progressShown_ && line == shownLine_) return;
  err_ << kEraseLine << line << std::flush;
  shownLine_ = std::move(line);
  progressShown_ = true;
}

bool TerminalPlatform::stopRequested() {
  return cli::stopRequested();
}

}  // namespace ccp::cli
