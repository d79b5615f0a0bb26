#include "app/register_place.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "app/data_folder.h"
#include "register/pager_register.h"

namespace ccp {

namespace {

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

}  // namespace

std::string registerSettingsPath() {
  const std::string_view xdg = environment("XDG_CONFIG_HOME");
  const std::string folder =
      xdg.starts_with('/') ? std::string(xdg) : std::string(environment("HOME")) + "/.config";
  return folder + "/" + std::string(kOrganisationName) + "/" + kRegisterSettingsFileName;
}

std::string hostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "station";
  return name;
}

RegisterUse registerUse(const RegisterSettings& settings, std::string_view commandLineLocation,
                        std::optional<bool> guardOverride) {
  // Without a data folder a station has no register of its own, rather than one in the
  // working folder.
  const std::string dataFolder = userDataFolder();
  return resolveRegisterUse(
      settings, dataFolder.empty() ? std::string() : defaultRegisterLocation(dataFolder),
      commandLineLocation, environment("CCP_REGISTER"), hostName(), guardOverride);
}

ParsedRegisterSettings userRegisterSettings() {
  const std::string path = registerSettingsPath();
  ParsedRegisterSettings parsed = loadRegisterSettings(path);
  for (std::string& problem : parsed.problems) problem = path + ": " + problem;
  return parsed;
}

std::vector<std::string> useRegisterSettings(PagerRecords& records) {
  const ParsedRegisterSettings parsed = userRegisterSettings();
  records.setRegister(parsed.settings, registerUse(parsed.settings));
  return parsed.problems;
}

}  // namespace ccp
