#include "ports/realtime_text.h"

#include <cstring>

namespace ccp {

namespace {

// "through RealtimeKit, SCHED_RR 10"
std::string kitGrantText(const RealtimePriority& priority) {
  const auto& answer = priority.kitAnswer();
  return "through RealtimeKit, SCHED_RR " + std::to_string(answer ? answer->priority : 0);
}

// Why the transfer ran at normal priority: "real-time refused: Operation not permitted", then
// "; refused by RealtimeKit: ..." or "; RealtimeKit not reached: ..." where it was asked.
std::string refusalText(const RealtimePriority& priority) {
  std::string text = std::string("real-time refused: ") + std::strerror(priority.refusal());
  if (const auto& answer = priority.kitAnswer()) {
    text += answer->reached ? "; refused by RealtimeKit: " : "; RealtimeKit not reached: ";
    text += answer->refusal;
  }
  return text;
}

}  // namespace

std::string transfersRunText(const RealtimePriority& priority) {
  using Outcome = RealtimePriority::Outcome;
  switch (priority.lastOutcome()) {
    case Outcome::Raised:
    case Outcome::AlreadyRealtime:
      return "real-time";
    case Outcome::ThroughRealtimeKit:
      return "real-time " + kitGrantText(priority);
    case Outcome::Refused:
      return "normal priority: see README (" + refusalText(priority) + ")";
    case Outcome::NotTried:
      break;
  }
  return "not tried";
}

std::string commandPriorityText(const RealtimePriority& priority) {
  using Outcome = RealtimePriority::Outcome;
  switch (priority.lastOutcome()) {
    case Outcome::Raised:
    case Outcome::AlreadyRealtime:
      return ", at real-time priority";
    case Outcome::ThroughRealtimeKit:
      return ", at real-time priority: " + kitGrantText(priority);
    case Outcome::Refused:
      return ", at normal priority (" + refusalText(priority) + ")";
    case Outcome::NotTried:
      break;
  }
  return {};
}

std::string tryTransferPriority(Clock& clock, const RealtimePriority& priority) {
  clock.transferBegins();
  clock.transferEnds();
  return transfersRunText(priority);
}

}  // namespace ccp
