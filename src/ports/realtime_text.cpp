#include "ports/realtime_text.h"

#include <cstring>

namespace ccp {

std::string kitGrantText(const RealtimePriority& priority) {
  const auto& answer = priority.kitAnswer();
  return "through RealtimeKit, SCHED_RR " + std::to_string(answer ? answer->priority : 0);
}

std::string refusalText(const RealtimePriority& priority) {
  std::string text = std::string("real-time refused: ") + std::strerror(priority.refusal());
  if (const auto& answer = priority.kitAnswer()) {
    text += answer->reached ? "; refused by RealtimeKit: " : "; RealtimeKit not reached: ";
    text += answer->refusal;
  }
  return text;
}

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

std::string tryTransferPriority(Clock& clock, const RealtimePriority& priority) {
  clock.transferBegins();
  clock.transferEnds();
  return transfersRunText(priority);
}

}  // namespace ccp
