#pragma once

// Where this user's register settings are, and what they resolve to on this machine: both faces
// go through here, so the window and ccp use the same register as the same station.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/pager_records.h"
#include "commands/register_settings.h"

namespace ccp {

// "register.conf" in the configuration folder the window's other settings share
// (userConfigFolder()); empty without one, and the settings are then the defaults.
std::string registerSettingsPath();

// This machine's host name: the station's name unless the settings give one.
std::string hostName();

// The register $CCP_REGISTER names; empty when it is not set.
std::string environmentRegister();

// The settings resolved against this machine: the location from the command line, else
// $CCP_REGISTER, else the settings, else register.sqlite in the data folder.
RegisterUse registerUse(const RegisterSettings& settings, std::string_view commandLineLocation = {},
                        std::optional<bool> guardOverride = {});

// This user's register.conf, each line not taken named with the file's path.
ParsedRegisterSettings userRegisterSettings();

// Those settings resolved against this machine, the lines that stop the pager commands among
// its refusals.
RegisterUse userRegisterUse(const ParsedRegisterSettings& parsed);

// The register settings of this user (register.conf) applied to a face's records, so that its
// pager commands keep them in the register the settings name, as this station. The lines of
// the file that were left out, each with the file's path, then why the pager commands will not
// run, if they will not.
std::vector<std::string> useRegisterSettings(PagerRecords& records);

}  // namespace ccp
