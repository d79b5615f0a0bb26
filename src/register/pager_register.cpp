#include "register/pager_register.h"

#include <filesystem>

namespace ccp {

std::string defaultRegisterLocation(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kRegisterFileName).string();
}

std::optional<Holder> PagerRegister::holder(int capcode) {
  std::vector<Holder> all = holders(capcode);
  if (all.empty()) return std::nullopt;
  return std::move(all.front());
}

}  // namespace ccp
