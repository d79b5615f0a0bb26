#include "cli/terminal_platform.h"

namespace ccp::cli {

namespace {
constexpr char kBell = '\a';
constexpr const char* kEraseLine = "\r\033[K";
constexpr int kPercent = 100;
constexpr long kMsPerSecond = 1000;
}  // namespace

std::string progressLine(std::string_view step, int done, int total,
                         std::optional<std::chrono::milliseconds> left) {
  std::string line(step);
  line += "  " + std::to_string(total > 0 ? done * kPercent / total : 0) + "%";
  if (left) {
    const long long seconds = (left->count() + kMsPerSecond - 1) / kMsPerSecond;
    line += "  about " + std::to_string(seconds) + " s left";
  }
  return line;
}

void TerminalPlatform::clearProgress() {
  if (!progressShown_) return;
  err_ << kEraseLine << std::flush;
  progressShown_ = false;
}

void TerminalPlatform::beep() {
  if (terminal_ && bell_) err_ << kBell << std::flush;
}

void TerminalPlatform::showError(const std::string& message) {
  ++errorBoxes_;
  clearProgress();
  err_ << message << '\n';
}

void TerminalPlatform::showProgress(std::string_view step, int done, int total) {
  if (!terminal_) return;
  if (total <= 0) {
    clearProgress();
    step_.clear();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (step != step_) {
    step_ = step;
    doneAtStart_ = done;
    stepStart_ = now;
  }
  // The pace of the step since its first report.
  std::optional<std::chrono::milliseconds> left;
  if (const int counted = done - doneAtStart_; counted > 0) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - stepStart_);
    left = elapsed * (total - done) / counted;
  }
  err_ << kEraseLine << progressLine(step, done, total, left) << std::flush;
  progressShown_ = true;
}

}  // namespace ccp::cli
