#pragma once

// Whether a process still runs, as a claim of the register names its writer: its host, its id
// and its start, from which a station on the same machine tells.

#include <optional>
#include <string>

namespace ccp {

// This machine's name.
const std::string& thisHost();

// When the process started, in clock ticks after boot (field 22 of /proc/PID/stat); nothing when
// there is no such process, or it has ended and only waits to be reaped.
std::optional<long long> processStart(long long pid);

// The process `pid` of this machine that started at `started` still runs: its id was not taken
// by another process since.
bool processRuns(long long pid, long long started);

}  // namespace ccp
