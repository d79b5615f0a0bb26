#pragma once

#include <string>

#include "app/app_services.h"
#include "image/build_config.h"

namespace ccp {

// What --version of either program prints: the About line, then the model, edition and port
// the program was built for ("QPX730E, customer edition, simulator build").
std::string versionText(const BuildConfig& config, PortKind port);

}  // namespace ccp
