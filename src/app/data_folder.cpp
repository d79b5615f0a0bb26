#include "app/data_folder.h"

#include <cstdlib>

namespace ccp {

namespace {

constexpr std::string_view kDefaultDataHome = "/.local/share";

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

bool absolute(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::string withoutTrailingSlashes(std::string_view path) {
  std::string folder(path);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string appDataFolder(std::string_view xdgDataHome, std::string_view home,
                          std::string_view organisation, std::string_view application) {
  // A relative XDG_DATA_HOME is not valid and is ignored, as the XDG rules say.
  std::string folder;
  if (absolute(xdgDataHome)) {
    folder = withoutTrailingSlashes(xdgDataHome);
  } else if (absolute(home)) {
    folder = withoutTrailingSlashes(home) + std::string(kDefaultDataHome);
  } else {
    return {};
  }
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
