#include "app/register_place.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "app/data_folder.h"

namespace ccp {

std::string registerSettingsPath() {
  const std::string folder = userConfigFolder();
  return folder.empty() ? folder : folder + "/" + kRegisterSettingsFileName;
}

std::string hostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return kUnnamedStation;
  return name;
}

std::string environmentRegister() {
  const char* location = std::getenv("CCP_REGISTER");
  return location ? location : "";
}

RegisterUse registerUse(const RegisterSettings& settings, std::string_view commandLineLocation,
                        std::optional<bool> guardOverride) {
  return stationRegisterUse(settings, {userDataFolder(), hostName()}, commandLineLocation,
                            environmentRegister(), guardOverride);
}

ParsedRegisterSettings userRegisterSettings() {
  return loadRegisterSettings(registerSettingsPath());
}

RegisterUse userRegisterUse(const ParsedRegisterSettings& parsed) {
  return withStoppingLines(registerUse(parsed.settings), parsed);
}

std::vector<std::string> useRegisterSettings(PagerRecords& records) {
  const ParsedRegisterSettings parsed = userRegisterSettings();
  const RegisterUse use = userRegisterUse(parsed);
  records.setRegister(parsed.settings, use);
  std::vector<std::string> said = parsed.problems;
  if (!use.refused.empty()) said.push_back(refusalText(use));
  return said;
}

}  // namespace ccp
