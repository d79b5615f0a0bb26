// fleet status, export and swap: how a customer's list stands, the list given back, a pager
// replaced.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <sstream>

#include "cli/fleet_check.h"
#include "cli/fleet_write.h"
#include "cli/register_choice.h"
#include "cli/register_run.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"
#include "commands/list_export.h"
#include "commands/list_run.h"
#include "files/file_io.h"
#include "image/plain_text.h"

namespace ccp::cli {

namespace {

// The list of that name, or nothing, said.
std::optional<ListInfo> namedList(Run& run, PagerRegister& reg, const std::string& path) {
  auto list = reg.findList(listName(path));
  if (!list) run.error("no list " + listName(path) + " in the register: fleet write takes it in");
  return list;
}

// "3 h 20 min", "12 min", "under a minute".
std::string durationWords(double seconds) {
  const long minutes = std::lround(seconds / 60);
  if (minutes < 1) return "under a minute";
  if (minutes < 60) return std::to_string(minutes) + " min";
  return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

// How fast the list is done, from its done rows' times, and the time the rows left will take.
std::string paceText(const std::vector<ListRowStatus>& rows) {
  std::vector<WallTime> done;
  int left = 0;
  for (const ListRowStatus& row : rows) {
    if (row.state == ListRowState::Done) done.push_back(row.at);
    if (row.state != ListRowState::Done) ++left;
  }
  if (done.size() < 2) return "Pace: not known yet";
  std::sort(done.begin(), done.end());
  const double span = std::chrono::duration<double>(done.back() - done.front()).count();
  if (span <= 0) return "Pace: not known yet";
  const double perSecond = static_cast<double>(done.size() - 1) / span;
  std::ostringstream text;
  text << "Pace: " << std::lround(perSecond * 3600) << " pagers an hour; "
       << (left == 0 ? "none left" : "about " + durationWords(left / perSecond) + " left");
  return text.str();
}

int statusCommand(Run& run) {
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice&) {
    const auto list = namedList(run, reg, run.args.operands[0]);
    if (!list) return kFailed;
    const auto rows = reg.listRows(list->id);
    std::ostream& out = run.console.out;
    out << list->name << " (version " << list->version << ", " << list->rows
        << " rows): " << standingText(standingOf(rows), list->rows) << '\n';
    std::map<std::string, std::vector<ListRowStatus>> byStation;
    for (const ListRowStatus& row : rows) {
      if (row.state != ListRowState::Open) byStation[row.station].push_back(row);
    }
    for (const auto& [station, theirs] : byStation) {
      const ListStanding s = standingOf(theirs);
      out << "  " << escaped(station) << ": " << s.done << " done, " << s.failed << " failed, "
          << s.writing << " being written" << '\n';
    }
    out << paceText(rows) << '\n';
    return kDone;
  });
}

int exportCommand(Run& run) {
  const std::string out = run.args.output.value_or("-");
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice&) {
    const auto list = namedList(run, reg, run.args.operands[0]);
    if (!list) return kFailed;
    std::string why;
    const auto exported =
        listExportText(*list, reg.listRows(list->id), run.services.config.model, why);
    if (!exported) {
      run.error("the list cannot be written back: " + why);
      return kFailed;
    }
    const std::string& text = *exported;
    if (isStandardStream(out)) {
      run.console.out << text;
      if (run.console.out.flush()) return kDone;
      run.error(std::string("could not write standard output: ") + std::strerror(errno));
      return kFileError;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!replaceFile(out, std::span(bytes, text.size()))) {
      run.error("could not write " + out + ": " + std::strerror(errno));
      return kFileError;
    }
    run.console.out << list->name << ": " << list->rows << " rows written to " << out << '\n';
    return kDone;
  });
}

int swapCommand(Run& run) {
  const std::string& rowText = run.args.operands[1];
  const int row = std::atoi(rowText.c_str());
  if (row < 1 || std::to_string(row) != rowText)
    throw UsageError("ROW is a row's number: 1, 2, ...");
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice& choice) {
    const auto list = namedList(run, reg, run.args.operands[0]);
    if (!list) return kFailed;
    reg.swapRow(list->id, row,
                {choice.use.station, std::chrono::system_clock::now(), run.args.note});
    run.console.out << list->name << ": row " << row << " is open again for its replacement pager"
                    << '\n';
    return kDone;
  });
}

}  // namespace

void addFleetBookCommands(CommandLine& line, CLI::App& group) {
  CliArguments& args = line.arguments();
  CLI::App& status = line.add(group, "status",
                              "how the list stands in the register: rows open, being\nwritten, "
                              "done and failed, per station, the pace\nand the time left",
                              statusCommand);
  line.operand(status, "LIST.csv", "the list, as fleet write took it in");
  CLI::App& exported = line.add(group, "export",
                                "the customer's list back, in the separator and\nencoding it came "
                                "in, with what became of each row:\nState, Serial read, Station, "
                                "Time, Record, Reason",
                                exportCommand);
  line.operand(exported, "LIST.csv", "the list, as fleet write took it in");
  exported.add_option("-o,--output", args.output, "the file to write; -: standard output")
      ->type_name("FILE");
  CLI::App& swap = line.add(group, "swap",
                            "give a done row to a replacement pager: the old\npager's capcodes "
                            "are released with a note, the row\nopens again",
                            swapCommand);
  line.operand(swap, "LIST.csv", "the list, as fleet write took it in");
  line.operand(swap, "ROW", "the row's number");
  swap.add_option("--note", args.note, "why, kept in the capcodes' history")->type_name("TEXT");
}

}  // namespace ccp::cli
