#pragma once

// A setting changed as the user would in the window: what set does with each NAME=VALUE.

#include "commands/setting_edit.h"

namespace ccp::cli {

using ccp::Assignment;
using ccp::changeAsUser;
using ccp::correction;
using ccp::parseAssignment;

}  // namespace ccp::cli
