#pragma once

// The settings by the window's names, as show, diff and set take them.

#include "commands/setting_names.h"

namespace ccp::cli {

using ccp::settingLabel;
using ccp::SettingPlace;
using ccp::settingPlaces;

}  // namespace ccp::cli
