#include "register/pager_register.h"

#include <filesystem>

#include "register/sql_register.h"

namespace ccp {

std::string defaultRegisterLocation(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kRegisterFileName).string();
}

std::optional<Holder> PagerRegister::holder(int capcode) {
  std::vector<Holder> all = holders(capcode);
  if (all.empty()) return std::nullopt;
  return std::move(all.front());
}

std::unique_ptr<PagerRegister> openRegister(const std::string& location,
                                            const RegisterOptions& options) {
  return std::make_unique<SqlRegister>(registerLocation(location), options);
}

}  // namespace ccp
