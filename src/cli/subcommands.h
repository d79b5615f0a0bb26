#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "cli/cli.h"
#include "cli/command_line.h"
#include "cli/headless_window.h"
#include "cli/stream_file.h"
#include "cli/terminal_platform.h"

namespace ccp::cli {

// One run of the command line: what was asked, where it goes, what it runs on.
struct Run {
  const CliArguments& args;
  Console& console;
  CliServices& services;
  TerminalPlatform& terminal;
  bool logToError = false;  // standard output carries a file: the log goes to standard error

  // Where the window's log lines go.
  std::ostream& log() const { return logToError ? console.err : console.out; }
  // The command line's own message on standard error.
  void error(const std::string& message) const {
    terminal.clearProgress();
    console.err << "ccp: " << message << '\n';
  }
  // With -v: a detail of the port, a claim or the timing.
  void detail(const std::string& message) const {
    if (args.verbose) error(message);
  }
};

// Wrong usage found once the words were read: exit status 2 with the hint to --help.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A register setting that cannot be taken, named with where it came from: exit status 2 before
// anything is done.
struct RefusedSetting : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A window for files with the file loaded ("-": standard input), or nothing; then the load's
// log lines and the reason went to standard error.
std::unique_ptr<HeadlessWindow> loadedFile(Run& run, const std::string& operand);
// What the window would show in its status bar after a failed load or save, on standard error;
// `fallback` when it showed nothing.
void reportFileFailure(Run& run, HeadlessWindow& window, const std::string& fallback);

// The commands, each group adding itself to the command line.
void addFileCommands(CommandLine& line);      // show, diff, set
void addPagerCommands(CommandLine& line);     // read, write, verify, test
void addPortsCommand(CommandLine& line);      // ports
void addRegisterCommands(CommandLine& line);  // register find, list, export, import, release...
void addFleetCommands(CommandLine& line);     // fleet check

}  // namespace ccp::cli
