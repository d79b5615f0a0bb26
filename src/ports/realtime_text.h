#pragma once

#include <string>

#include "ports/clock.h"
#include "ports/realtime_priority.h"

namespace ccp {

// The words both faces use for how the last transfer's priority went.

// "real-time", "real-time through RealtimeKit, SCHED_RR 10", or "normal priority: see README
// (" the refusal ")"; "not tried" before any transfer.
std::string transfersRunText(const RealtimePriority& priority);

// How a command's transfers ran, after what it did: ", at real-time priority", ", at real-time
// priority: through RealtimeKit, SCHED_RR 10" or ", at normal priority (" the refusal ")";
// empty when none ran.
std::string commandPriorityText(const RealtimePriority& priority);

// Raises the priority of `clock`'s transfers and gives it back, as a transfer does, and says
// how the transfers will run.
std::string tryTransferPriority(Clock& clock, const RealtimePriority& priority);

}  // namespace ccp
