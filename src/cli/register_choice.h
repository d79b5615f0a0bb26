#pragma once

#include "commands/register_settings.h"

namespace ccp::cli {

struct Run;

// The register settings a run goes by: the user's (what of them was left out said first),
// then --register, --guard, --unique and --next-free; and what they come to on this machine.
// RefusedSetting when one of them stops the pager and register commands; a password on the
// command line is warned of.
struct RegisterChoice {
  RegisterSettings settings;
  RegisterUse use;
};
RegisterChoice registerChoice(Run& run);

// Said when a location given on the command line as `option` holds a password.
void warnOfPassword(const Run& run, const std::string& option, std::string_view location);

}  // namespace ccp::cli
