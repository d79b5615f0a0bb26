// fleet: a customer's list of pagers, one pager a row, written from a template.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

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

// "LIST.csv:12: Capcode '2004x': why", "LIST.csv:12: warning: ...", "LIST.csv: why".
std::string problemLine(const std::string& list, const ListProblem& problem) {
  std::string line = list + (problem.line == 0 ? "" : ":" + std::to_string(problem.line)) + ": ";
  if (problem.warning) line += "warning: ";
  if (!problem.column.empty()) {
    line += problem.column;
    if (!problem.value.empty()) line += " '" + problem.value + "'";
    line += ": ";
  }
  return escaped(line + problem.why);
}

std::string previewLine(const std::string& list, const RowPreview& row) {
  std::string line = list + ":" + std::to_string(row.line) + ": row " + std::to_string(row.row);
  if (!row.label.empty()) line += " (" + row.label + ")";
  line += row.changes.empty() ? ": as the template" : ": " + joined(row.changes, "; ");
  return escaped(line);
}

// The register to ask, read only; nothing when it has no records to ask about (a station's own
// register that no pager command has made), said as `none`.
bool registerToAsk(const RegisterUse& use, std::string& none) {
  if (use.location.empty()) {
    none = "no register: no data folder to keep one in, and none was named";
    return false;
  }
  const LocationReading reading = readLocation(use.location);
  std::error_code ec;
  if (reading.engine == Engine::SQLite && !std::filesystem::exists(use.location, ec) && !ec) {
    none = "no pager command has kept a record yet at " + use.location + ": no capcode is held";
    return false;
  }
  return true;
}

std::string summary(const std::string& list, const ListCheckResult& result) {
  const auto count = [](std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  std::string text = list + ": " + count(result.rows, "pager") + ", " +
                     count(result.errors(), "error") + ", " + count(result.warnings(), "warning");
  return text + (result.errors() == 0 ? ": ready to write" : ": nothing may be written");
}

int checkCommand(Run& run) {
  const std::string& listPath = run.args.operands[0];
  const RegisterChoice choice = registerChoice(run);
  QuietPlatform platform;
  RefusingPort noPort;
  SteadyClock idleClock;  // a window for files never waits
  TForm1 form(run.services.config, platform, noPort, idleClock);
  const TemplateLoad loaded = loadListTemplate(form, run.args.templateFile);
  if (!loaded.loaded) {
    run.error(loaded.why + "; no list checked");
    return std::filesystem::is_regular_file(run.args.templateFile) ? kFailed : kFileError;
  }
  std::ifstream file;
  if (!isStandardStream(listPath)) {
    file.open(listPath, std::ios::binary);
    if (!file) {
      run.error("could not read " + listPath + ": " + std::strerror(errno));
      return kFileError;
    }
  }
  std::istream& list = isStandardStream(listPath) ? run.console.in : file;

  ListCheckRequest request;
  request.name = std::filesystem::path(listPath).filename().string();
  request.uniqueRows = choice.settings.uniqueRows;
  if (run.args.dryRun) {
    request.preview = [&](const RowPreview& row) {
      run.console.out << previewLine(listPath, row) << '\n';
    };
  }
  std::string noRegister;
  const bool ask = registerToAsk(choice.use, noRegister);
  return withConnection(
      run, choice.use, RegisterCreation::DoNotMake, [&](RegisterConnection& connection) {
        if (ask) {
          request.holders = [&connection](const std::vector<RowUse>& uses) {
            return connection.use(
                [&uses](PagerRegister& reg) { return reg.holdersInTheWay(uses); });
          };
        }
        const ListCheckResult result = checkList(list, form, platform, *loaded.loaded, request);
        for (const ListProblem& problem : result.problems) {
          run.console.out << problemLine(listPath, problem) << '\n';
        }
        if (!ask) run.error(noRegister);
        run.console.out << summary(listPath, result) << '\n';
        return result.errors() == 0 ? kDone : kFailed;
      });
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
  check
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
  check.add_flag("--dry-run", args.dryRun,
                 "also show, row by row, what each would write that\ndiffers from the template");
}

}  // namespace ccp::cli
