#include "register/pager_register.h"

#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>

#include "ports/process_liveness.h"

namespace ccp {

namespace {

// A token fits PostgreSQL's bigint advisory lock key and is never 0.
constexpr unsigned long long kTokenMask = (1ULL << 62) - 1;

}  // namespace

std::string defaultRegisterLocation(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kRegisterFileName).string();
}

std::optional<Holder> PagerRegister::holder(int capcode) {
  std::vector<Holder> all = holders(capcode);
  if (all.empty()) return std::nullopt;
  return std::move(all.front());
}

std::vector<Holder> PagerRegister::holdersInTheWay(const std::vector<RowUse>& uses) {
  std::map<int, bool> individual;  // each capcode once: individual if any use of it is
  for (const RowUse& use : uses)
    individual[use.capcode] = individual[use.capcode] || use.individual;
  std::vector<Holder> found;
  for (const auto& [capcode, anyHold] : individual) {
    for (Holder& h : holders(capcode)) {
      if (anyHold || h.individual) found.push_back(std::move(h));
    }
  }
  return found;
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
