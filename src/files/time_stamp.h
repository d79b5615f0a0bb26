#pragma once

// Local date and time for the names of backup files and the lines of the journal.

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace ccp {

using WallTime = std::chrono::system_clock::time_point;

std::tm localTime(WallTime at);

// ISO 8601 with the offset from UTC: "2026-12-07T11:30:05+01:00".
std::string isoTimeStamp(const std::tm& local);

// The moment an ISO 8601 stamp as isoTimeStamp writes it names ("Z" for UTC also taken);
// nothing for any other text.
std::optional<WallTime> parseIsoTimeStamp(std::string_view stamp);

// Sorts by time and suits any file system: "20261207-113005".
std::string fileTimeStamp(const std::tm& local);

}  // namespace ccp
