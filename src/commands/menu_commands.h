#pragma once

#include <string>

#include "image/build_config.h"

namespace ccp {

class TForm1;

std::string windowTitle(const BuildConfig& config);
std::string aboutLine(const BuildConfig& config);

// Binds About, Exit, the port items and the commands of the other menus.
void bindMenuCommands(TForm1& form);

}  // namespace ccp
