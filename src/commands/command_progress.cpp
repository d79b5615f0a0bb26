#include "commands/command_progress.h"

#include <algorithm>

#include "link/eeprom_types.h"
#include "ports/time_source.h"

namespace ccp {

namespace {

constexpr std::uint64_t kUsPerSecond = 1'000'000;

CommandPhase phase(std::string name, LinkStep step) {
  return {std::move(name), step, linkStepTiming(step, *eepChipType(kPagerEepromType))};
}

// A whole read: the decoder first, then the EEPROM.
CommandPlan readPhases(const std::string& prefix) {
  return {phase(prefix + "Decoder read", LinkStep::DecoderRead),
          phase(prefix + "EEPROM read", LinkStep::EepromRead)};
}

}  // namespace

CommandPlan readFromPagerPlan() {
  return readPhases("");
}

CommandPlan writeToPagerPlan(Edition edition) {
  CommandPlan plan;
  // The customer edition reads the pager's EEPROM first; the factory edition writes from
  // scratch.
  if (edition == Edition::Customer) plan.push_back(phase("EEPROM read", LinkStep::EepromRead));
  plan.push_back(phase("Decoder write", LinkStep::DecoderWrite));
  plan.push_back(phase("Decoder verify", LinkStep::DecoderRead));
  plan.push_back(phase("EEPROM write", LinkStep::EepromWrite));
  plan.push_back(phase("EEPROM verify", LinkStep::EepromVerify));
  return plan;
}

CommandPlan withBackupRead(CommandPlan plan, const std::string& prefix) {
  CommandPlan whole = readPhases(prefix);
  whole.insert(whole.end(), plan.begin(), plan.end());
  return whole;
}

CommandProgress::CommandProgress(CommandPlan plan, Sink sink, const TimeSource* time)
    : plan_(std::move(plan)), sink_(std::move(sink)), time_(time) {
  for (const CommandPhase& p : plan_) {
    phaseStartUs_.push_back(totalUs_);
    totalUs_ += p.timing.totalUs();
  }
  if (time_ != nullptr) startNs_ = time_->nowNs();
}

void CommandProgress::start() {
  if (!plan_.empty()) show(0, 0);
}

Progress CommandProgress::linkProgress() {
  return [this](std::string_view step, int done, int total) { report(step, done, total); };
}

std::optional<std::size_t> CommandProgress::phaseOf(LinkStep step, int done) const {
  // The current phase goes on while its count rises; a count that starts again is the next
  // phase of the same step (a verify after a read, a read after a backup read).
  if (current_ && plan_[*current_].step == step && done > lastDone_) return current_;
  for (std::size_t i = current_ ? *current_ + 1 : 0; i < plan_.size(); ++i) {
    if (plan_[i].step == step) return i;
  }
  return std::nullopt;
}

void CommandProgress::report(std::string_view stepName, int done, int total) {
  std::optional<LinkStep> step;
  for (LinkStep s : kLinkSteps) {
    if (linkStepName(s) == stepName) step = s;
  }
  if (!step || total <= 0) return;
  const std::optional<std::size_t> found = phaseOf(*step, done);
  if (!found) return;
  current_ = found;
  lastDone_ = done;
  const StepTiming& timing = plan_[*found].timing;
  const int units = static_cast<int>(static_cast<long long>(done) * timing.units / total);
  show(*found, phaseStartUs_[*found] + timing.atUnitUs(std::min(units, timing.units)));
}

void CommandProgress::end() {
  if (sink_) sink_(ProgressReport{});
}

double CommandProgress::weight(std::size_t phase) const {
  if (totalUs_ == 0) return 0;
  return static_cast<double>(plan_.at(phase).timing.totalUs()) / static_cast<double>(totalUs_);
}

void CommandProgress::show(std::size_t phase, std::uint64_t positionUs) {
  positionUs_ = std::max(positionUs_, positionUs);  // the bar never goes back
  if (!sink_) return;
  ProgressReport report;
  report.phase = plan_[phase].name;
  report.percent = totalUs_ == 0 ? 100 : static_cast<int>(positionUs_ * 100 / totalUs_);
  report.secondsLeft = secondsLeft(positionUs_);
  sink_(report);
}

int CommandProgress::secondsLeft(std::uint64_t positionUs) const {
  const std::uint64_t remainingUs = totalUs_ - std::min(positionUs, totalUs_);
  double pace = 1.0;
  if (time_ != nullptr && positionUs > 0) {
    const double elapsedUs = static_cast<double>(time_->nowNs() - startNs_) / 1000.0;
    pace = std::max(1.0, elapsedUs / static_cast<double>(positionUs));
  }
  const auto left = static_cast<std::uint64_t>(static_cast<double>(remainingUs) * pace);
  return static_cast<int>((left + kUsPerSecond - 1) / kUsPerSecond);
}

}  // namespace ccp
