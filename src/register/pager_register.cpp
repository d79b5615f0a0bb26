#include "register/pager_register.h"

#include <filesystem>
#include <regex>

#include "register/sql_register.h"

namespace ccp {

bool isSharedRegister(std::string_view location) {
  return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::string defaultRegisterLocation(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kRegisterFileName).string();
}

std::string withoutPassword(const std::string& url, const std::string& mark) {
  static const std::regex userPassword(R"(^([a-z]+://[^/@:]*):[^/@]*@)");
  if (!mark.empty()) {
    static const std::regex passwordValue(R"(([?&]password=)[^&]*)");
    return std::regex_replace(std::regex_replace(url, userPassword, "$1:" + mark + "@"),
                              passwordValue, "$1" + mark);
  }
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
