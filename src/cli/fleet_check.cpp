#include "cli/fleet_check.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/register_choice.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"
#include "commands/quiet_platform.h"
#include "image/plain_text.h"
#include "ports/refusing_port.h"
#include "ports/steady_clock.h"
#include "register/location_reading.h"
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

std::string summary(const std::string& list, const ListCheckResult& result) {
  const auto count = [](std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  std::string text = list + ": " + count(result.rows, "pager") + ", " +
                     count(result.errors(), "error") + ", " + count(result.warnings(), "warning");
  return text + (result.errors() == 0 ? ": ready to write" : ": nothing may be written");
}

}  // namespace

std::string listName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

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

void showProblems(Run& run, const std::string& path, const ListCheckResult& result,
                  bool summarise) {
  for (const ListProblem& problem : result.problems) {
    run.console.out << problemLine(path, problem) << '\n';
  }
  if (summarise || result.errors() > 0) run.console.out << summary(path, result) << '\n';
}

CheckedList checkListFile(Run& run, const RegisterChoice& choice, RegisterConnection* connection,
                          const std::string& path, const std::set<long long>& ownRecords) {
  CheckedList checked;
  QuietPlatform platform;
  RefusingPort noPort;
  SteadyClock idleClock;  // a window for files never waits
  TForm1 form(run.services.config, platform, noPort, idleClock);
  const TemplateLoad loaded = loadListTemplate(form, run.args.templateFile);
  if (!loaded.loaded) {
    run.error(loaded.why + "; no list checked");
    checked.status = std::filesystem::is_regular_file(run.args.templateFile) ? kFailed : kFileError;
    return checked;
  }
  checked.loaded = *loaded.loaded;
  std::ifstream file;
  if (!isStandardStream(path)) {
    file.open(path, std::ios::binary);
    if (!file) {
      run.error("could not read " + path + ": " + std::strerror(errno));
      checked.status = kFileError;
      return checked;
    }
  }
  std::istream& list = isStandardStream(path) ? run.console.in : file;
  ListCheckRequest request;
  request.name = listName(path);
  request.uniqueRows = choice.settings.uniqueRows;
  request.ownRecords = ownRecords;
  request.entry = &checked.entry;
  if (run.args.dryRun) {
    request.preview = [&](const RowPreview& row) {
      run.console.out << previewLine(path, row) << '\n';
    };
  }
  if (connection != nullptr) {
    request.holders = [connection](const std::vector<RowUse>& uses) {
      return connection->use([&uses](PagerRegister& reg) { return reg.holdersInTheWay(uses); });
    };
  }
  checked.result = checkList(list, form, platform, checked.loaded, request);
  if (checked.result.errors() > 0) checked.status = kFailed;
  return checked;
}

}  // namespace ccp::cli
