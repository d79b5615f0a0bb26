#pragma once

#include <string>

#include "ports/clock.h"
#include "ports/realtime_priority.h"

namespace ccp {

// The words both faces use for how the last transfer's priority went.

// "through RealtimeKit, SCHED_RR 10"
std::string kitGrantText(const RealtimePriority& priority);

// Why the transfer ran at normal priority: "real-time refused: Operation not permitted", then
// "; refused by RealtimeKit: ..." or "; RealtimeKit not reached: ..." where it was asked.
std::string refusalText(const RealtimePriority& priority);

// "real-time", "real-time through RealtimeKit, SCHED_RR 10", or "normal priority: see README
// (" the refusal ")"; "not tried" before any transfer.
std::string transfersRunText(const RealtimePriority& priority);

// Raises the priority of `clock`'s transfers and gives it back, as a transfer does, and says
// how the transfers will run.
std::string tryTransferPriority(Clock& clock, const RealtimePriority& priority);

}  // namespace ccp
