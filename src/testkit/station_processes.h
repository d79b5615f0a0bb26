#pragma once

// The stations of a line as processes of their own, started at the same moment, as the PCs of a
// line are: each has its own connection to the register, and nothing of one process is shared
// with another. For the tests and the benchmark of a shared register.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "register/register_types.h"

namespace ccp::testkit {

// What a station tells the one that started it: one line at a time.
using Say = std::function<void(const std::string&)>;

struct StationOutcome {
  std::vector<std::string> lines;  // as said, in order
  bool done = false;               // the station's work returned
  std::string error;               // what the exception that ended it said
};

struct StationsRun {
  std::vector<StationOutcome> stations;
  bool inTime = true;  // no station was still running at the deadline, and killed
};

// Runs `work(station, say)` for stations 0 to count - 1, each in a child process forked from
// this one (so each starts with the objects made before, and uses them alone), all let go at
// once. What they say is read while they run.
StationsRun runStations(int count, const std::function<void(int, const Say&)>& work,
                        std::chrono::seconds deadline);

// The record of a verified write of a pager with capcode 1 as given.
Record writeRecord(const std::string& station, WallTime at, const std::string& capcode1,
                   const std::string& serial = "12345678");

}  // namespace ccp::testkit
