#include "app/data_folder.h"

#include <cstdlib>

namespace ccp {

namespace {

constexpr std::string_view kDefaultDataHome = "/.local/share";

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

// The home folder as Qt takes it: the root when unset, without trailing slashes.
std::string homeFolder(std::string_view home) {
  std::string folder(home.empty() ? "/" : home);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string appDataFolder(std::string_view xdgDataHome, std::string_view home,
                          std::string_view organisation, std::string_view application) {
  // Qt 6.4 takes a relative XDG_DATA_HOME as it stands (later versions ignore it); the window
  // tests check that both agree.
  std::string folder = !xdgDataHome.empty() ? std::string(xdgDataHome)
                                            : homeFolder(home) + std::string(kDefaultDataHome);
  if (!organisation.empty()) folder += "/" + std::string(organisation);
  if (!application.empty()) folder += "/" + std::string(application);
  return folder;
}

std::string userDataFolder() {
  return appDataFolder(environment("XDG_DATA_HOME"), environment("HOME"), kOrganisationName,
                       kApplicationName);
}

std::string simulatedPagerFile() {
  return userDataFolder() + "/" + std::string(kSimulatedPagerFileName);
}

}  // namespace ccp
