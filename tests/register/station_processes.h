#pragma once

// The stations of a line as processes of their own (testkit/station_processes.h): a station
// that failed, or ran past the deadline, fails the test.

#include <gtest/gtest.h>

#include "testkit/station_processes.h"

namespace ccp::test {

using testkit::Say;
using testkit::StationOutcome;

inline std::vector<StationOutcome> runStations(
    int count, const std::function<void(int, const Say&)>& work,
    std::chrono::seconds deadline = std::chrono::seconds(60)) {
  testkit::StationsRun run = testkit::runStations(count, work, deadline);
  EXPECT_TRUE(run.inTime) << "the stations did not end within " << deadline.count() << " s";
  for (const StationOutcome& station : run.stations) {
    if (!station.error.empty()) ADD_FAILURE() << "error: " << station.error;
  }
  return std::move(run.stations);
}

}  // namespace ccp::test
