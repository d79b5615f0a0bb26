#include "app/data_folder.h"

#include <cstdlib>

namespace ccp {

namespace {

constexpr std::string_view kDefaultDataHome = "/.local/share";
constexpr std::string_view kDefaultConfigHome = "/.config";

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

// An XDG base folder: the variable's value when absolute (a relative one is not valid and is
// ignored, as the XDG rules say), else the default below an absolute home; else none.
std::string baseFolder(std::string_view xdgValue, std::string_view home,
                       std::string_view belowHome) {
  if (absolute(xdgValue)) return withoutTrailingSlashes(xdgValue);
  if (absolute(home)) return withoutTrailingSlashes(home) + std::string(belowHome);
  return {};
}

}  // namespace

std::string appDataFolder(std::string_view xdgDataHome, std::string_view home,
                          std::string_view organisation, std::string_view application) {
  std::string folder = baseFolder(xdgDataHome, home, kDefaultDataHome);
  if (folder.empty()) return {};
  if (!organisation.empty()) folder += "/" + std::string(organisation);
  if (!application.empty()) folder += "/" + std::string(application);
  return folder;
}

std::string userDataFolder() {
  return appDataFolder(environment("XDG_DATA_HOME"), environment("HOME"), kOrganisationName,
                       kApplicationName);
}

std::string appConfigFolder(std::string_view xdgConfigHome, std::string_view home,
                            std::string_view organisation) {
  const std::string base = baseFolder(xdgConfigHome, home, kDefaultConfigHome);
  return base.empty() ? base : base + "/" + std::string(organisation);
}

std::string userConfigFolder() {
  return appConfigFolder(environment("XDG_CONFIG_HOME"), environment("HOME"), kOrganisationName);
}

std::string simulatedPagerFile() {
  const std::string folder = userDataFolder();
  return folder.empty() ? folder : folder + "/" + std::string(kSimulatedPagerFileName);
}

std::string simulatedPagersFolder() {
  const std::string folder = userDataFolder();
  return folder.empty() ? folder : folder + "/" + std::string(kSimulatedPagersFolderName);
}

}  // namespace ccp
