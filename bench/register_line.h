#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d);

// "p50 0.16 ms, p99 0.40 ms, max 36.00 ms" of the times.
std::string percentiles(std::vector<Clock::duration> times);

// A line of `stations` stations on the register at `location`, each a process of its own with
// its own connection, all let go at once: each claims the next free capcode of one shared range
// from where its last write left off, as "take the next free" does, adds its record and confirms
// the claim, `writes` times, a write begun every `pace` (none: back to back; the stations start
// a pace apart shared among them). Prints the time of each claim + record + confirm and the
// claims the register granted per second. 0 when all went well.
int runLine(const std::string& location, int stations, int writes, Clock::duration pace);

}  // namespace bench
