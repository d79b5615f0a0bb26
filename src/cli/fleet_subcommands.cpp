// fleet: a customer's list of pagers, one pager a row, written from a template.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/fleet_check.h"
#include "cli/fleet_write.h"
#include "cli/register_choice.h"
#include "cli/register_run.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"
#include "commands/list_check.h"
#include "commands/quiet_platform.h"
#include "image/plain_text.h"
#include "ports/refusing_port.h"
#include "ports/steady_clock.h"
#include "register/location_reading.h"
#include "register/record_columns.h"
#include "shell/form.h"

namespace ccp::cli {

namespace {

int checkCommand(Run& run) {
  const RegisterChoice choice = registerChoice(run);
  std::string noRegister;
  const bool ask = registerToAsk(choice.use, noRegister);
  return withConnection(run, choice.use, RegisterCreation::DoNotMake,
                        [&](RegisterConnection& connection) {
                          const std::string& path = run.args.operands[0];
                          const CheckedList checked =
                              checkListFile(run, choice, ask ? &connection : nullptr, path, {});
                          showProblems(run, path, checked.result, true);
                          if (!ask) run.error(noRegister);
                          return checked.status == 0 ? kDone : checked.status;
                        });
}

void uniqueRowsOption(CLI::App& command, CliArguments& args) {
  command
      .add_option_function<std::string>(
          "--unique-rows",
          [&args](const std::string& text) {
            const auto rows = parseRowList(text);
            if (!rows)
              throw CLI::ValidationError("--unique-rows", "takes rows 1 to 6, such as 1,3");
            args.uniqueRows = *rows;
          },
          "the individual rows of a pager whose row gives none\n(default: register.conf's "
          "unique-rows, else row 1)")
      ->type_name("ROWS");
}

}  // namespace

void addFleetCommands(CommandLine& line) {
  CliArguments& args = line.arguments();
  CLI::App& group =
      line.group("fleet", "a customer's list of pagers: one pager a row, written\nfrom a template");
  CLI::App& check = line.add(
      group, "check",
      "check LIST.csv whole before its first pager, as the\nwindow writes each row: every problem "
      "at once, a line\neach, as LIST.csv:LINE: COLUMN 'VALUE': why (a\nwarning says \"warning:\" "
      "first), then a summary;\n0 when there is no error (warnings may be), 1 when\nthere is. "
      "Nothing is written, the register only read",
      checkCommand);
  line.operand(check, "LIST.csv", "the list, as any spreadsheet saves it; -: standard input");
  check.add_option("--template", args.templateFile, "the configuration file every row begins from")
      ->type_name("FILE")
      ->required();
  uniqueRowsOption(check, args);
  check.add_flag("--dry-run", args.dryRun,
                 "also show, row by row, what each would write that\ndiffers from the template");

  CLI::App& write = line.add(
      group, "write",
      "check LIST.csv, take it into the register (the first\nstation to write it) and write its "
      "rows, one pager\neach: each station takes the next open row, asks\nfor its pager (Enter "
      "writes, s skips, q stops; a\nserial number typed or scanned picks the row of that\npager "
      "where the list has serial numbers), writes it\nguarded as ccp write does, and marks the "
      "row done or\nfailed; then how the list stands",
      fleetWriteCommand);
  line.operand(write, "LIST.csv", "the list, as any spreadsheet saves it");
  line.portOptions(write);
  write.add_option("--template", args.templateFile, "the configuration file every row begins from")
      ->type_name("FILE")
      ->required();
  uniqueRowsOption(write, args);
  write.add_flag(
      "--new-version", args.newVersion,
      "take in a list whose content changed since it was\ntaken in: rows done stay done");
  write.add_flag("--no-prompt", args.noPrompt,
                 "write the rows one after another without asking (a\nsimulated Programmer, or "
                 "a machine that feeds pagers)");
  write.add_option("--row", args.row, "write this row first")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
  write.add_flag("--backup", args.backup,
                 "first keep what each pager holds in the backups\nfolder");
  addFleetBookCommands(line, group);
}

}  // namespace ccp::cli
