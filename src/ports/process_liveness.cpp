#include "ports/process_liveness.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace ccp {

namespace {

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

const std::string& thisHost() {
  // Looked up once: a machine's name does not change under a running program that claims for it.
  static const std::string host = [] {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
  }();
  return host;
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

}  // namespace ccp
