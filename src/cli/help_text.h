#pragma once

// The help of ccp: one text with every command and its options, so that it serves as the manual
// too (help2man makes the manual page from it); a command's own help as CLI11 gives it.

#include <CLI/CLI.hpp>
#include <memory>

namespace ccp::cli {

// The first line of ccp --help.
extern const char* const kHelpDescription;
// The notes at the end of ccp --help, for every command.
extern const char* const kHelpFooter;

// Lays out ccp --help: every command with its operands and options, in the command line's words.
std::shared_ptr<CLI::Formatter> helpFormatter();

}  // namespace ccp::cli
