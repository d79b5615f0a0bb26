#pragma once

#include "commands/register_settings.h"

namespace ccp::cli {

struct Run;

// The register settings a run goes by: the user's (what of them was not taken said first),
// then --register, --guard, --unique and --next-free; and what they come to on this machine.
struct RegisterChoice {
  RegisterSettings settings;
  RegisterUse use;
};
RegisterChoice registerChoice(Run& run);

}  // namespace ccp::cli
