#include "files/time_stamp.h"

#include <array>
#include <cstdio>

namespace ccp {

namespace {

std::string format(const std::tm& local, const char* pattern) {
  std::array<char, 64> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), pattern, &local);
  return std::string(text.data(), length);
}

// The date, when the calendar has it ("2026-02-31" it has not).
std::optional<std::chrono::year_month_day> calendarDate(int year, int month, int day) {
  if (month < 1 || day < 1) return std::nullopt;  // the unsigned fields would wrap them
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  return date;
}

}  // namespace

std::tm localTime(WallTime at) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

std::string isoTimeStamp(const std::tm& local) {
  std::string stamp = format(local, "%Y-%m-%dT%H:%M:%S%z");
  // strftime gives the offset as +hhmm; ISO 8601's extended form wants +hh:mm.
  if (stamp.size() >= 2) stamp.insert(stamp.size() - 2, ":");
  return stamp;
}

std::string shownTimeStamp(const std::tm& local, bool seconds) {
  return format(local, seconds ? "%Y-%m-%d %H:%M:%S" : "%Y-%m-%d %H:%M");
}

std::optional<WallTime> parseLocalTime(std::string_view text) {
  const std::string words(text);
  std::tm local{};
  int used = 0;
  if (std::sscanf(words.c_str(), "%4d-%2d-%2d%n", &local.tm_year, &local.tm_mon, &local.tm_mday,
                  &used) != 3) {
    return std::nullopt;
  }
  if (used != static_cast<int>(words.size())) {
    int more = 0;
    const std::string time = words.substr(static_cast<std::size_t>(used));
    const int fields = std::sscanf(time.c_str(), "%*1[ T]%2d:%2d%n:%2d%n", &local.tm_hour,
                                   &local.tm_min, &more, &local.tm_sec, &more);
    if (fields < 2 || more != static_cast<int>(time.size())) return std::nullopt;
  }
  if (!calendarDate(local.tm_year, local.tm_mon, local.tm_mday) || local.tm_hour > 23 ||
      local.tm_min > 59 || local.tm_sec > 59) {
    return std::nullopt;
  }
  local.tm_year -= 1900;
  local.tm_mon -= 1;
  local.tm_isdst = -1;  // as the zone has it on that day
  const std::time_t seconds = std::mktime(&local);
  if (seconds == -1) return std::nullopt;
  return std::chrono::system_clock::from_time_t(seconds);
}

std::optional<WallTime> parseIsoTimeStamp(std::string_view stamp) {
  const std::string text(stamp);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &year, &month, &day, &hour, &minute,
                  &second, &used) != 6 ||
      used != 19) {
    return std::nullopt;
  }
  int offsetHours = 0, offsetMinutes = 0, tail = 0;
  const std::string zone = text.substr(19);
  if (zone != "Z" &&
      (std::sscanf(zone.c_str(), "%*1[+-]%2d:%2d%n", &offsetHours, &offsetMinutes, &tail) != 2 ||
       tail != 6 || zone.size() != 6)) {
    return std::nullopt;
  }
  const auto date = calendarDate(year, month, day);
  if (!date || hour > 23 || minute > 59 || second > 60 || offsetMinutes > 59) {
    return std::nullopt;
  }
  const auto offset = std::chrono::hours(offsetHours) + std::chrono::minutes(offsetMinutes);
  const auto local = std::chrono::sys_days(*date) + std::chrono::hours(hour) +
                     std::chrono::minutes(minute) + std::chrono::seconds(second);
  return WallTime(zone[0] == '-' ? local + offset : local - offset);
}

std::string fileTimeStamp(const std::tm& local) {
  return format(local, "%Y%m%d-%H%M%S");
}

}  // namespace ccp
