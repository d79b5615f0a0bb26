#pragma once

// Local date and time for the names of backup files and the lines of the journal.

#include <chrono>
#include <ctime>
#include <string>

namespace ccp {

using WallTime = std::chrono::system_clock::time_point;

std::tm localTime(WallTime at);

// ISO 8601 with the offset from UTC: "2026-12-07T11:30:05+01:00".
std::string isoTimeStamp(const std::tm& local);

// Sorts by time and suits any file system: "20261207-113005".
std::string fileTimeStamp(const std::tm& local);

}  // namespace ccp
