#pragma once

// register release, claims, conflicts and resolve: who has a capcode, by hand.

#include <ostream>
#include <vector>

#include "cli/command_line.h"
#include "register/register_types.h"

namespace ccp::cli {

int releaseCommand(Run& run);
int claimsCommand(Run& run);
int conflictsCommand(Run& run);
int resolveCommand(Run& run);

// The options of release, conflicts and resolve, on the register's group of commands.
void addHoldOptions(CLI::App& group, CliArguments& args);

// The conflicts as a table, newest first; with `closedToo`, when and why each was closed.
void printConflicts(std::ostream& out, const std::vector<Conflict>& conflicts, bool closedToo);

}  // namespace ccp::cli
