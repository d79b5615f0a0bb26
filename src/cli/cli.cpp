#include "cli/cli.h"

#include "cli/cli_arguments.h"
#include "cli/subcommands.h"
#include "cli/terminal_platform.h"
#include "commands/menu_commands.h"

namespace ccp::cli {

namespace {

const char* const kUsage = R"(Usage: ccp [--lpt1 DEVICE] [--lpt2 DEVICE] COMMAND ARGUMENTS

The window's settings, files and pager commands on the command line.

Commands:
  show FILE [--json]          every setting of FILE, page by page as the window labels it;
                              --json: by the controls' names
  diff A B                    the settings that differ between A and B, side by side
  set FILE NAME=VALUE... [-o OUT]
                              change settings as a user would in the window, then save as
                              File > Save does (to FILE, or to OUT); NAME is a control's name
                              (see show); a list takes the text of an item, a check box on or off
  read OUT [--port PORT]      read the pager and save what it holds, byte for byte, to OUT
  write FILE [--port PORT] [--autoinc S1,S2,S3,S4,S5,S6] [--batch] [--update] [--backup]
                              write FILE to the pager as the window does; --autoinc: the Auto inc
                              steps (0 to 8; rows 1 to 4 advance); --batch: one pager after
                              another, each on Enter, until the end of input; --update: save the
                              advanced settings to FILE after each verified write; --backup: first
                              keep what each pager holds in the backups folder, as the window's
                              File > Back up pagers before writing does
  verify FILE [--port PORT]   compare the pager with what FILE would write to it

Options:
  --port PORT                 LPT1, LPT2 or simulator
  --lpt1 DEVICE, --lpt2 DEVICE
                              the device behind LPT1 or LPT2: /dev/parportN or an I/O base (0xd010)
  -h, --help                  this text
  --version                   the program's About line

The log lines of the window go to standard output, errors to standard error, progress to
standard error when it is a terminal.

Every read of the pager (verify's too) and every write adds a line to the window's programming
journal, journal.csv in its data folder ($XDG_DATA_HOME or ~/.local/share, then
capcode-programmer/capcode-programmer); backups go to its backups folder. Whether a backup was
made, and a journal that could not be written, are said on standard error.

Ctrl-C or SIGTERM during read, write or verify stops the command after the current EEPROM page
or decoder record, with the lines at rest: "Interrupted: the pager may be partly written", and
its journal line. A second Ctrl-C stops at once.

Exit status: 0 done, 1 the pager or a comparison failed, 2 wrong usage or a setting the window
refused, 3 a file could not be read or written, 130 (Ctrl-C) or 143 (SIGTERM) interrupted.
)";

int dispatch(Run& run) {
  switch (*run.args.subcommand) {
    case Subcommand::Show:
      return showCommand(run);
    case Subcommand::Diff:
      return diffCommand(run);
    case Subcommand::Set:
      return setCommand(run);
    case Subcommand::Read:
      return readCommand(run);
    case Subcommand::Write:
      return writeCommand(run);
    case Subcommand::Verify:
      return verifyCommand(run);
  }
  return kWrongUsage;
}

}  // namespace

int runCli(const std::vector<std::string>& words, Console& console, CliServices& services) {
  const ParsedArguments parsed = parseCliArguments(words);
  if (!parsed.error.empty()) {
    console.err << "ccp: " << parsed.error << "\nTry 'ccp --help'.\n";
    return kWrongUsage;
  }
  const CliArguments& args = parsed.arguments;
  if (args.help) {
    console.out << kUsage;
    return kDone;
  }
  if (args.version) {
    console.out << aboutLine(services.config) << '\n';
    return kDone;
  }
  TerminalPlatform terminal(console.err, console.terminal);
  Run run{args, console, services, terminal};
  const int status = dispatch(run);
  terminal.clearProgress();
  console.out.flush();
  return status;
}

}  // namespace ccp::cli
