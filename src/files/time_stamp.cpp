#include "files/time_stamp.h"

#include <array>

namespace ccp {

namespace {

std::string format(const std::tm& local, const char* pattern) {
  std::array<char, 64> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), pattern, &local);
  return std::string(text.data(), length);
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

std::string fileTimeStamp(const std::tm& local) {
  return format(local, "%Y%m%d-%H%M%S");
}

}  // namespace ccp
