#include "register/writer_process.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "register/pager_register.h"

namespace ccp {

namespace {

// A token fits PostgreSQL's bigint advisory lock key and is never 0.
constexpr unsigned long long kTokenMask = (1ULL << 62) - 1;

// The fields of /proc/PID/stat after the command's name, which may itself hold spaces and
// parentheses: the first is field 3, the state.
std::optional<std::string> statFieldsAfterName(long long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  if (!in.is_open()) return std::nullopt;
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto name = text.rfind(')');
  if (name == std::string::npos) return std::nullopt;
  return text.substr(name + 1);
}

}  // namespace

std::string thisHost() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::optional<long long> processStart(long long pid) {
  if (pid <= 0) return std::nullopt;
  const auto fields = statFieldsAfterName(pid);
  if (!fields) return std::nullopt;
  std::istringstream in(*fields);
  std::string state, field;
  in >> state;
  if (state == "Z" || state == "X") return std::nullopt;  // ended, not yet reaped
  for (int number = 4; number < 22 && in >> field; ++number) {
  }
  long long started = 0;
  if (!(in >> started)) return std::nullopt;
  return started;
}

bool processRuns(long long pid, long long started) {
  return processStart(pid) == started;
}

Writer newWriter(const std::string& station) {
  std::random_device random;
  const unsigned long long bits =
      (static_cast<unsigned long long>(random()) << 32) ^ static_cast<unsigned long long>(random());
  const auto token = static_cast<long long>(bits & kTokenMask);
  return {station, thisHost(), static_cast<long long>(::getpid()),
          processStart(::getpid()).value_or(0), token == 0 ? 1 : token};
}

}  // namespace ccp
