#include "register/pager_register.h"

#include <filesystem>
#include <regex>

#include "register/sql_register.h"

namespace ccp {

std::string defaultRegisterLocation(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kRegisterFileName).string();
}

std::string withoutPassword(const std::string& url) {
  static const std::regex userPassword(R"(^([a-z]+://[^/@:]*):[^/@]*@)");
  static const std::regex passwordParameter(R"(([?&])password=[^&]*(&|$))");
  std::string bare = std::regex_replace(url, userPassword, "$1@");
  bare = std::regex_replace(bare, passwordParameter, "$1");
  if (!bare.empty() && (bare.back() == '&' || bare.back() == '?')) bare.pop_back();
  return bare;
}

std::unique_ptr<PagerRegister> openRegister(const std::string& location,
                                            const RegisterOptions& options) {
  return std::make_unique<SqlRegister>(registerLocation(location), options);
}

}  // namespace ccp
