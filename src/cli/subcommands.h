#pragma once

#include <memory>
#include <string>

#include "cli/cli.h"
#include "cli/cli_arguments.h"
#include "cli/headless_window.h"
#include "cli/terminal_platform.h"

namespace ccp::cli {

// One run of the command line: what was asked, where it goes, what it runs on.
struct Run {
  const CliArguments& args;
  Console& console;
  CliServices& services;
  TerminalPlatform& terminal;

  // The command line's own message on standard error.
  void error(const std::string& message) const {
    terminal.clearProgress();
    console.err << "ccp: " << message << '\n';
  }
};

// A window for files with the file loaded, or nothing; then the load's log lines went to
// standard error.
std::unique_ptr<HeadlessWindow> loadedFile(Run& run, const std::string& path);

int showCommand(Run& run);
int diffCommand(Run& run);
int setCommand(Run& run);
int readCommand(Run& run);
int writeCommand(Run& run);
int verifyCommand(Run& run);

}  // namespace ccp::cli
