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

// For people: "2026-12-07 11:30:05", or to the minute "2026-12-07 11:30".
std::string shownTimeStamp(const std::tm& local, bool seconds = true);

// A date in local time, from its midnight or the time given: "2026-12-07", "2026-12-07 11:30",
// "2026-12-07T11:30:05"; nothing for any other text.
std::optional<WallTime> parseLocalTime(std::string_view text);

// Sorts by time and suits any file system: "20261207-113005".
std::string fileTimeStamp(const std::tm& local);

}  // namespace ccp
