#pragma once

// The fleet commands beside check: write a list's pagers, and what the register keeps of it.

#include "cli/command_line.h"

namespace ccp::cli {

struct Run;

// fleet write LIST.csv: the list checked, taken into the register, and written row by row.
int fleetWriteCommand(Run& run);

// fleet status, export and swap, added to the fleet group.
void addFleetBookCommands(CommandLine& line, CLI::App& group);

}  // namespace ccp::cli
