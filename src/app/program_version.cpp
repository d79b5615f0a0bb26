#include "app/program_version.h"

#include "commands/menu_commands.h"

namespace ccp {

std::string versionText(const BuildConfig& config, PortKind port) {
  const char* edition = config.edition == Edition::Factory ? "factory" : "customer";
  const char* built = port == PortKind::Simulator ? "simulator" : "parallel port";
  return aboutLine(config) + '\n' + modelName(config.model) + ", " + edition + " edition, " +
         built + " build\n";
}

}  // namespace ccp
